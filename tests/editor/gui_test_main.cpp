// The program of the editor's Qt Test classes: `editor_tests NAME [Qt Test
// options]` runs the class registered by NAME.cpp; without a name (or with
// --list) it lists the names.

#include "gui_test_registry.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, GuiTestFactory> &registry()
{
    static std::map<std::string, GuiTestFactory> tests;
    return tests;
}

}  // namespace

bool registerGuiTest(const char *sourcePath, GuiTestFactory factory)
{
    const std::string name = QFileInfo(QString::fromUtf8(sourcePath)).completeBaseName().toStdString();
    return registry().emplace(name, std::move(factory)).second;
}

int main(int argc, char **argv)
{
    if (argc < 2 || std::string(argv[1]) == "--list") {
        for (const auto &test : registry())
            std::printf("%s\n", test.first.c_str());
        return argc < 2 ? 2 : 0;
    }
    const auto test = registry().find(argv[1]);
    if (test == registry().end()) {
        std::fprintf(stderr, "editor_tests: no test named %s (--list names them)\n", argv[1]);
        return 2;
    }
    // What QTEST_MAIN does for a widgets test, with the name taken out of the
    // arguments Qt Test reads.
    std::vector<char *> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    int count = int(arguments.size());
    QApplication app(count, arguments.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    const std::unique_ptr<QObject> testObject = test->second();
    return QTest::qExec(testObject.get(), count, arguments.data());
}
