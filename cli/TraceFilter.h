#pragma once

// The core writes its trace lines to the debug output; on the command line they would bury
// the one line an error gets. Silences debug, info and warning output unless the
// environment variable HOLOGRAM_CLI_TRACE is set; quiets the video decoder's own log too.
class TraceFilter
{
public:
    static void install();
};
