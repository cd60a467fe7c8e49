#pragma once
// The card details in the console: whether a run asks for them, and the
// "details" object of a JSON line.

#include "cards/CardDetails.h"

#include <string>

namespace msrw::console {

// What a run asks of the details. A run that asks nothing decodes nothing.
struct DetailsChoice {
    bool json = false;   // a "details" object in each JSON line
    bool text = false;   // the details as text under each result line
    bool unmask = false; // the account number whole
    bool wanted() const { return json || text; }
};

// Today, by the computer's clock, for the expiry checks.
details::Date Today();
details::DecodeOptions DecodeOptionsOf(const DetailsChoice& choice);

// The "details" object as compact JSON text: {"layout":..., "name":...,
// "fields":[{"track","field","label","value","state"}...],
// "checks":[{"check","label","pass","text"}...]}. Written directly rather
// than through QJsonObject, which costs a card several times the decoding.
std::string DetailsJson(const details::CardDetails& details);

} // namespace msrw::console
