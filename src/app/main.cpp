// rendaro: the translation editor. `rendaro [FILE]` opens the window, with
// FILE shown when given; --help and --version answer on the terminal.

#include "app/about_dlg.h"
#include "app/rendaro_app.h"
#include "editor/core/qt_user_prompts.h"
#include "fontmetrics/font_engine.h"

#include <QApplication>
#include <QSettings>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: rendaro [OPTION]... [FILE]\n"
    "Edit the translations of a language file (XML) of the Rendaro format.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "FILE is opened as File > Open does. Qt's own options (such as -platform)\n"
    "are accepted as well. The command-line tool for batch work is rendaro-cli.\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before any window system is needed.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("Rendaro Version %s\n", rendaroVersion().toUtf8().constData());
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QStringLiteral("Rendaro"));
    QApplication::setDesktopFileName(QStringLiteral("rendaro"));

    QStringList files;
    bool options = true;
    for (const QString &argument : app.arguments().mid(1)) {
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            std::fprintf(stderr, "rendaro: unknown option %s\n%s", argument.toLocal8Bit().constData(), kUsage);
            return 2;
        } else {
            files.append(argument);
        }
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "rendaro: give one file at most\n%s", kUsage);
        return 2;
    }

    // The fit check and the Preview measure and draw dialog text with it.
    InstallFontEngineMeasurer();
    QSettings settings;
    QtUserPrompts prompts;
    CRendaroApp rendaro(prompts, settings);
    if (!rendaro.InitInstance(files))
        return 1;
    return app.exec();
}
