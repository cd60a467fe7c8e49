#include "operations/writing/WritingBranches.h"

#include "operations/writing/EraseOperation.h"
#include "operations/writing/SequentialWrite.h"
#include "operations/writing/WriteOperation.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"

namespace msrw {

void RegisterWritingBranches(DispatchTable& table) {
    table.addBranch(kOpWrite, WriteBranch);
    table.addBranch(kOpQuellWrite, QuellWriteBranch);
    table.addBranch(kOpPassBookWrite, PassBookWriteBranch);
    table.addBranch(kOpErase, EraseBranch);
    table.addBranch(kOpTestWrite, TestWriteBranch);
    table.addBranch(kOpSequentialWrite, [](Session& s, std::string_view text, bool ok) {
        SequentialWriteBranch(s, s.operationState<SequentialWrite>(), text, ok);
    });
    table.addEndAction(EndStep::SequentialWrite, [](Session& s, std::int32_t) {
        SeqWriteOnCancel(s, s.operationState<SequentialWrite>());
    });
}

} // namespace msrw
