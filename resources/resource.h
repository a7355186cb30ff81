// Resource numbers shared by the resource script and the Windows program.
#define IDI_KORVANE 1
