#pragma once
// The editor's Qt Test classes share one program (one link instead of one per
// class). Each test file registers its class with RENDARO_GUI_TEST(Class)
// where a standalone program would use QTEST_MAIN; CTest runs the program
// once per file, naming the file, so each class still gets a process of its
// own.

#include <QObject>
#include <functional>
#include <memory>

using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;

// Registers the test class of the source file `sourcePath` (its base name,
// such as "undo_test", is the name the program is run with).
bool registerGuiTest(const char *sourcePath, GuiTestFactory factory);

#define RENDARO_GUI_TEST(TestClass)                                                                \
    namespace {                                                                                    \
    const bool registered##TestClass =                                                             \
        registerGuiTest(__FILE__, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); }); \
    }
