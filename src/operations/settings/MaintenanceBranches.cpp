#include "operations/settings/MaintenanceBranches.h"

#include "operations/settings/FixtureProcedure.h"
#include "operations/settings/Maintenance.h"
#include "session/Dispatcher.h"
#include "session/OpStates.h"
#include "session/Session.h"

namespace msrw {

void RegisterMaintenanceBranches(DispatchTable& table) {
    table.addBranch(kOpBiasFirstCard, BiasFirstCardBranch);
    table.addBranch(kOpBiasSecondCard, BiasSecondCardBranch);
    table.addBranch(kOpFixtureRead, FixtureReadBranch);
    table.addBranch(kOpBiasPatternVerify, BiasVerifyWriteBranch);
    table.addEndAction(EndStep::Fixture, [](Session& s, std::int32_t) {
        FixtureOnCancel(s, s.operationState<FixtureRun>());
    });
    table.addEndAction(EndStep::Maintenance,
                       [](Session& s, std::int32_t) { frmCfgSet::CfgEnaMainBtns(s); });
}

} // namespace msrw
