#pragma once

// What every flow shares: how it ended, and how it tells its progress while it runs. A flow
// never shows anything itself; its caller renders the progress and the result.

namespace qev::flow {

enum class Outcome {
    Done,     // the flow did what it was asked
    Declined, // the user answered its question with no
    Refused,  // the inputs were refused before anything was sent
    NoDevice, // no device was found or chosen
    NoAnswer, // the device did not answer
};

// step: the flow's own step number; percent: 0 to 100, -1 when the flow cannot tell;
// messageId: the catalogue message of the step, 0 for none.
class Progress {
public:
    virtual void progress(int /*step*/, int /*percent*/, int /*messageId*/) {}

protected:
    ~Progress() = default;
};

} // namespace qev::flow
