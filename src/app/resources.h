#pragma once

class QApplication;

// Registers the compiled-in icons and catalogues. Call before the application object exists.
void initResources();
// Organisation, application name, plug-in path and style sheet, before any window exists.
void configureApplication(QApplication &app);
