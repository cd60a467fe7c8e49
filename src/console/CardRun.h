#pragma once
// One console card run: the program's own start-up, operations and receive
// dispatcher, driven by the options instead of the operator. Each card's
// result is printed as it comes; the run ends after the cards asked for, when
// the operation ends by itself (the end of the file or of the records), or on
// an interrupt, which acts as the prompt's End.

#include "console/CardRunOptions.h"
#include "console/ConsoleAnswers.h"
#include "console/ExitStatus.h"
#include "console/PauseMeter.h"
#include "console/ResultPrinter.h"
#include "operations/files/RecordSource.h"
#include "protocol/MsrwMode.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace msrw {
class DataFolder;
class PortDirectory;
class Session;
class Startup;
} // namespace msrw

namespace msrw::console {

class CardRun {
public:
    CardRun(const PortDirectory& ports, const DataFolder& data, CardRunOptions options);
    ~CardRun();

    // Runs the whole of it, start-up to unload; the exit status.
    int run();
    // What SIGINT does: End, or no start when the operation has not begun.
    void interrupt();
    // Tells `told` each mode the run makes current (a simulated reader/writer
    // in this process follows it).
    void followModes(std::function<void(MsrwMode)> told);

    // Software time of each card (the pauses taken out), in nanoseconds.
    const std::vector<std::int64_t>& cardWorkNs() const { return cardWorkNs_; }

private:
    int startUp();
    int chooseModeAndCardType();
    // False, the operator told which modes offer it, when `mode` does not
    // offer the verb.
    bool verbOffered(MsrwMode mode);
    // Whether the device refused a track load (the operation then ended).
    bool loadRefused() const;
    void startVerb();
    // The database's records from the server batch of --db; false (told) when not.
    bool useBatchSource();
    // What the database's record source met, for the exit status.
    RecordSource::Trouble recordTrouble() const;
    bool operationActive() const;
    void takeResult(const CardResult& result);
    void endOperation();
    void endWhenActive(int afterMs);
    int exitStatus(bool started) const;

    CardRunOptions options_;
    ConsoleAnswers answers_;
    PauseMeter clock_;
    ResultPrinter printer_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Startup> startup_;
    std::int64_t cardsDone_ = 0;
    bool anyFailed_ = false;
    bool portLost_ = false;
    bool interrupted_ = false;
    bool startingUp_ = false;
    bool outputClosed_ = false; // the results could not be printed (a closed pipe)
    bool endAsked_ = false;
    bool ending_ = false;             // the End that the run asked for is in progress
    std::uint64_t endsAtRequest_ = 0; // operations ended when End was asked for
    bool finished_ = false;           // the run's loop is over: nothing is ended any more
    std::int64_t lastCardAtNs_ = 0;
    std::int64_t lastPausedNs_ = 0;
    std::vector<std::int64_t> cardWorkNs_;
};

} // namespace msrw::console
