#pragma once

namespace varnotel {

class Clock;
class ErrorReport;
class FileSystem;
class InputPrompt;
class MediaPlayer;
class ProgramStarter;

// The seams a window talks to the outside world through. The owner (main, or
// a test) keeps the objects alive for the window's lifetime.
struct Platform {
    FileSystem &fs;
    ProgramStarter &starter;
    MediaPlayer &player;
    InputPrompt &prompt;
    Clock &clock;
    ErrorReport &errors;
};

} // namespace varnotel
