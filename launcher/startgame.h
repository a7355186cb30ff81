#pragma once

class FormView;

// Run game and the demo button: each starts its program of the game as a
// process of its own, found by its bare name, and returns at once.
void Command3_Click(FormView &form);
void Command2_Click(FormView &form);
