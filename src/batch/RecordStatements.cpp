#include "batch/RecordStatements.h"

#include <array>

namespace msrw::batch {
namespace {

using P = Parameter;

// Leases run out (their records left uncertain), the claim this station
// holds is renewed, or else the lowest open record that no other station has
// locked is claimed: one statement, so one transaction and one round trip.
StatementText Claim() {
    return {
        "WITH expired AS (UPDATE msrw_records SET state = 'uncertain' "
        "WHERE state = 'claimed' AND lease_until < now() RETURNING 1), "
        "held AS (UPDATE msrw_records SET lease_until = now() + make_interval(secs => ?) "
        "WHERE batch = ? AND state = 'claimed' AND station = ? AND lease_until >= now() "
        "RETURNING record_no, fields), "
        "next AS (SELECT record_no FROM msrw_records WHERE batch = ? AND state = 'open' "
        "AND NOT EXISTS (SELECT 1 FROM held) "
        "ORDER BY record_no LIMIT 1 FOR UPDATE SKIP LOCKED), "
        "taken AS (UPDATE msrw_records r SET state = 'claimed', station = ?, "
        "claimed_at = now(), lease_until = now() + make_interval(secs => ?) "
        "FROM next WHERE r.batch = ? AND r.record_no = next.record_no "
        "RETURNING r.record_no, r.fields) "
        "SELECT record_no, array_to_json(fields)::text FROM held UNION ALL "
        "SELECT record_no, array_to_json(fields)::text FROM taken",
        {P::LeaseSeconds, P::Batch, P::Station, P::Batch, P::Station, P::LeaseSeconds, P::Batch}};
}

// An update of one record that this station holds under a lease not run out.
StatementText HeldUpdate(const char* set, std::vector<Parameter> setParameters) {
    std::vector<Parameter> parameters = std::move(setParameters);
    parameters.insert(parameters.end(), {P::Batch, P::Record, P::Station});
    return {QString("UPDATE msrw_records SET ") + set +
                " WHERE batch = ? AND record_no = ? AND state = 'claimed' "
                "AND lease_until >= now() AND station = ?",
            parameters};
}

StatementText Retry() {
    return {"UPDATE msrw_records SET state = 'open', station = NULL, lease_until = NULL, "
            "claimed_at = NULL WHERE batch = ? AND record_no = ? AND (state = 'uncertain' OR "
            "(state = 'claimed' AND lease_until < now()))",
            {P::Batch, P::Record}};
}

} // namespace

const StatementText& TextOf(RecordStatement statement) {
    static const std::array<StatementText, kRecordStatements> texts{
        Claim(),
        HeldUpdate("state = 'written', written_at = now(), lease_until = NULL", {}),
        HeldUpdate("state = 'open', station = NULL, lease_until = NULL, claimed_at = NULL", {}),
        HeldUpdate("lease_until = now() + make_interval(secs => ?)", {P::LeaseSeconds}),
        Retry(),
    };
    return texts[std::size_t(statement)];
}

} // namespace msrw::batch
