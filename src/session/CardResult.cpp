#include "session/CardResult.h"

#include "session/Session.h"

namespace msrw {

void ShowCardResult(Session& s, CardResult result) {
    s.view.message = result.line;
    if (s.cardResult)
        s.cardResult(result);
}

} // namespace msrw
