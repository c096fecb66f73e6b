// The catalogue dialog tests run under the program's own application object, so a failure
// that reaches the event loop ends in the error report, as in the program.
#include "shell/application.h"

#include <QTest>

int runNovoTests(int argc, char** argv);
int runBordaTests(int argc, char** argv);

int main(int argc, char** argv)
{
    quadrela::Application app(argc, argv);
    int failed = 0;
    for (auto run : {runNovoTests, runBordaTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
