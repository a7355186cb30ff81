#pragma once

class QWidget;

// SIGTERM, SIGHUP and SIGINT, as a session's end sends them, close the window
// and end the program normally, but only between actions: a write in progress
// finishes first, so it never leaves a temporary file behind.
void closeOnSessionEnd(QWidget *window);
