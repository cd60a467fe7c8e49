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
    table.addBranch(kOpWriteFromFile, WriteFromFileBranch);
    table.addBranch(kOpDatabaseWrite,
                    [](Session& s, std::string_view text, bool) { DatabaseBranch(s, text); });
    table.addEndAction(EndStep::Files, [](Session& s, std::int32_t) {
        EndWriteFromFile(s);
        s.operationState<CardFileChannel>().close();
        EndDatabase(s);
    });
}

} // namespace msrw
