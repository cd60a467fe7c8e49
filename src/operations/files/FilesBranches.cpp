#include "operations/files/FilesBranches.h"

#include "operations/files/DatabaseApplication.h"
#include "operations/files/ReadToFile.h"
#include "operations/files/WriteFromFile.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"

namespace msrw {

void RegisterFilesBranches(DispatchTable& table) {
    table.addBranch(kOpReadToFile,
                    [](Session& s, std::string_view text, bool) { ReadToFileBranch(s, text); });
    table.addBranch(kOpQuellReadToFile, QuellReadToFileBranch);
    table.addBranch(kOpWriteFromFile, WriteFromFileBranch);
    table.addBranch(kOpDatabaseWrite, DatabaseBranch);
    // Whatever the state and the mode (a "Quell Mode" Write From File runs
    // as 7, its Read To File as 20), what a file operation has open is
    // closed when it ends.
    table.addEndAction(EndStep::Files, [](Session& s, std::int32_t) {
        EndWriteFromFile(s);
        s.operationState<CardFileChannel>().close();
        EndDatabase(s);
    });
}

} // namespace msrw
