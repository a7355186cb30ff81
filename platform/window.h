#pragma once

struct FormDescription;

// Builds the window from its description, shows it and runs it until it is
// closed; returns the program's exit status. One toolkit per platform.
int runForm(int argc, char *argv[], const FormDescription &form);
