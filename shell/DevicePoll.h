#pragma once

// The express window's watch for a plugged-in stick, free of widgets. The window polls every kPollInterval ms;
// a stick that appears asks once (the read-back question in Express, the download dialog in Easy) and not again
// until it has been pulled out. A stick that appears while a command runs counts as seen and asks nothing.
namespace shell {

inline constexpr int kPollInterval = 2000;

class DevicePoll {
public:
    enum class Status { Unchanged, NoDevice, Connected };
    struct Step {
        Status status = Status::Unchanged; // what the status line shows now
        bool ask = false;                  // a newly plugged stick: stop the timer and ask
    };

    // One tick. `discover` runs the discovery and says whether a stick was found; it is not called while the
    // download dialog or the question is open.
    template <typename Discover>
    Step poll(Discover&& discover)
    {
        if (dialogOpen)
            return {};
        return found(discover());
    }
    Step found(bool present);

    // The window shows: nothing seen yet, no dialog, no command.
    void reset();

    bool deviceSeen = false;
    bool dialogOpen = false;
    bool commandRunning = false;
};

// Sets commandRunning for the lifetime of one command.
class CommandScope {
public:
    explicit CommandScope(DevicePoll& poll) : poll_(poll), was_(poll.commandRunning) { poll_.commandRunning = true; }
    ~CommandScope() { poll_.commandRunning = was_; }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    DevicePoll& poll_;
    bool was_;
};

} // namespace shell
