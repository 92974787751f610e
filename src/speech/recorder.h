#pragma once

// The SDK side of "Record" and "Stop"; the main window keeps RecordState,
// icons and messages.
class Recorder
{
public:
    // Marks the last item final, chooses the recording configuration and the
    // sentence separator, and starts the capture. The SDK's code, 0 on success.
    static int start();
    static void cancel();
};
