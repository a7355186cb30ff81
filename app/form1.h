#pragma once

#include "form/form.h"

// Built once, with every name it uses checked: a misspelt one stops the
// program before the window opens, and the unit tests with it.
const FormDescription &Form1();
