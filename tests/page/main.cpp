// The page tests: placed items, the mouse on the page, the item menu, the resize dialog
// and adding pictures. One process, one application, every test class in turn.
#include <QApplication>
#include <QTest>

int runItemTests(int argc, char** argv);
int runMouseTests(int argc, char** argv);
int runItemMenuTests(int argc, char** argv);
int runResizeTests(int argc, char** argv);
int runPictureCommandTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runItemTests, runMouseTests, runItemMenuTests, runResizeTests,
                     runPictureCommandTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
