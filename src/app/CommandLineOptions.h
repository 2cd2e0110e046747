#pragma once

#include <optional>

// The options that only ask for information (--help, --version). They are read
// from the raw arguments before the application object exists, so answering
// them touches no display, settings, autostart entry or running instance.
class CommandLineOptions {
public:
    CommandLineOptions() = delete;

    // Prints the answer and gives the exit status when the arguments ask for
    // help or the version; nothing when the app should start. Every other
    // argument, Qt's own (-platform ...) included, is left to the start.
    static std::optional<int> answerInformationRequest(int argc, char** argv);
};
