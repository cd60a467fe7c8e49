#include "operations/files/SavedSetup.h"

#include "session/DeviceFormat.h"
#include "session/FormatStore.h"
#include "session/Session.h"

namespace msrw {
namespace {

enum Field { kBpi, kBpc, kParity, kSs, kEs };

} // namespace

SavedSetup SaveSetup(const FormatStore& f, bool passBook) {
    SavedSetup saved;
    saved.passBook = passBook;
    for (std::size_t i = 0; i < 3; ++i) {
        if (passBook) {
            const PassBookTrackControls& t = f.passBook[i];
            saved.positions[i] = {t.bpi.selected, t.syncZeros.selected, t.parity.selected,
                                  t.ss.selected, t.es.selected};
        } else {
            const UserTrackControls& t = f.user[i];
            saved.positions[i] = {f.bpi[i].selected, t.bpc.selected, t.parity.selected,
                                  t.ss.selected, t.es.selected};
        }
    }
    return saved;
}

void RestoreSetup(Session& s, const SavedSetup& saved) {
    FormatStore& f = s.format;
    std::array<bool, 3> densityChanged{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::array<int, 5>& p = saved.positions[i];
        if (saved.passBook) {
            PassBookTrackControls& t = f.passBook[i];
            t.bpi.select(p[kBpi]);
            t.syncZeros.select(p[kBpc]);
            t.parity.select(p[kParity]);
            t.ss.select(p[kSs]);
            t.es.select(p[kEs]);
            continue;
        }
        densityChanged[i] = f.bpi[i].selected != p[kBpi];
        f.bpi[i].select(p[kBpi]);
        const int track = int(i + 1);
        f.clickBpc(track, p[kBpc]);
        f.clickParity(track, p[kParity]);
        f.user[i].ss.select(p[kSs]);
        f.user[i].es.select(p[kEs]);
    }
    if (!s.ormond() && !s.velk())
        return;
    DeviceFormat device(s.link(), s.format, s.clock);
    // The reader/writer keeps the file's densities otherwise; a refusal here
    // shows at the next card-type choice, which sends them all again.
    if (densityChanged[0])
        (void)device.SendTk1Bpi();
    if (densityChanged[1])
        (void)device.SendTk2Bpi();
    if (densityChanged[2])
        (void)device.SendTk3Bpi();
}

} // namespace msrw
