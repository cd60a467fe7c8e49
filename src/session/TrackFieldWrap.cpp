#include "session/TrackFieldWrap.h"

#include "protocol/TrackText.h"
#include "session/MainView.h"

namespace msrw {

void txtTrk_Change(TrackBox& box, std::size_t& caret, bool beingShown) {
    if (beingShown || box.text.empty())
        return;
    track::FieldText wrapped = track::RewrapTrackField(box.text, caret);
    box.text = std::move(wrapped.text);
    caret = wrapped.caret;
}

} // namespace msrw
