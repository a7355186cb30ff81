#include "app/form1.h"
#include "platform/window.h"

int main(int argc, char *argv[])
{
    return runForm(argc, argv, Form1());
}
