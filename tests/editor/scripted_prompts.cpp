#include "scripted_prompts.h"

#include <utility>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The editor keeps recovery journals in XDG_STATE_HOME; a test program's go
// to a temporary folder of its own, never to the user's. A child process a
// test starts keeps the folder its parent gave it.
struct TestStateFolder {
    TestStateFolder()
    {
        if (qEnvironmentVariableIsSet("RENDARO_TEST_STATE_HOME"))
            return;
        folder = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder->path()));
        qputenv("RENDARO_TEST_STATE_HOME", "1");
    }
    std::unique_ptr<QTemporaryDir> folder;
};
const TestStateFolder g_testStateFolder;

} // namespace

void ScriptedPrompts::answer(PromptAnswer answer) { m_answers.append(answer); }

void ScriptedPrompts::pressButton(const QString &text) { m_buttons.append(text); }

void ScriptedPrompts::chooseFile(const QString &path) { m_files.append(path); }

void ScriptedPrompts::chooseFilter(const QString &filter) { m_filters.append(filter); }

void ScriptedPrompts::reportFilter(const FileDialogRequest &request)
{
    if (!request.selectedFilter)
        return;
    *request.selectedFilter =
        m_filters.isEmpty() ? request.filter.section(QStringLiteral(";;"), 0, 0) : m_filters.takeFirst();
}

void ScriptedPrompts::onDialog(std::function<bool(QDialog &)> script) { m_dialogs.append(std::move(script)); }

QStringList ScriptedPrompts::takeTexts()
{
    QStringList texts;
    for (const ShownMessage &shown : messages)
        texts.append(shown.text);
    messages.clear();
    return texts;
}

bool ScriptedPrompts::scriptUsed() const
{
    return m_answers.isEmpty() && m_files.isEmpty() && m_dialogs.isEmpty() && m_buttons.isEmpty() &&
           m_filters.isEmpty();
}

PromptAnswer ScriptedPrompts::message(QWidget *, const QString &text, const QString &caption, PromptIcon icon,
                                      PromptButtons buttons)
{
    messages.append({text, caption, icon, buttons, {}});
    if (onMessage)
        onMessage(messages.last());
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
    return m_answers.takeFirst();
}

int ScriptedPrompts::choose(QWidget *, const QString &text, const QString &caption, PromptIcon icon,
                            const QStringList &buttons, int escape)
{
    messages.append({text, caption, icon, PromptButtons::Ok, buttons});
    if (onMessage)
        onMessage(messages.last());
    if (m_buttons.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
        return escape;
    }
    const qsizetype index = buttons.indexOf(m_buttons.takeFirst());
    if (index < 0)
        QTest::qFail(qPrintable(QStringLiteral("no such button in: ") + text), __FILE__, __LINE__);
    return index < 0 ? escape : int(index);
}

QString ScriptedPrompts::nextFile(const char *what)
{
    if (m_files.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected ") + QLatin1String(what)), __FILE__, __LINE__);
        return QString();
    }
    return m_files.takeFirst();
}

QString ScriptedPrompts::openFileName(QWidget *, const FileDialogRequest &request)
{
    fileDialogs.append(request);
    reportFilter(request);
    return nextFile("open dialog");
}

QString ScriptedPrompts::saveFileName(QWidget *, const FileDialogRequest &request)
{
    fileDialogs.append(request);
    reportFilter(request);
    return nextFile("save dialog");
}

QString ScriptedPrompts::folderName(QWidget *, const QString &caption, const QString &startFolder)
{
    fileDialogs.append({caption, startFolder, QString(), QString()});
    return nextFile("folder dialog");
}

bool ScriptedPrompts::runDialog(QDialog &dialog)
{
    if (m_dialogs.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected dialog: ") + dialog.windowTitle()), __FILE__, __LINE__);
        return false;
    }
    return m_dialogs.takeFirst()(dialog);
}

namespace {

class RecordedProgress : public ProgressReporter {
public:
    RecordedProgress(QStringList &log, int cancelAfter) : m_log(log), m_cancelAfter(cancelAfter) {}
    ~RecordedProgress() override { m_log.append(QStringLiteral("closed")); }
    void setTotal(int steps) override { m_log.append(QStringLiteral("total %1").arg(steps)); }
    void show() override { m_log.append(QStringLiteral("show")); }
    void step(const QString &text) override
    {
        m_log.append(text);
        ++m_steps;
    }
    void allowCancel() override { m_log.append(QStringLiteral("cancel offered")); }
    bool cancelled() const override { return m_cancelAfter >= 0 && m_steps >= m_cancelAfter; }

private:
    QStringList &m_log;
    int m_cancelAfter;
    int m_steps = 0;
};

} // namespace

std::unique_ptr<ProgressReporter> ScriptedPrompts::progress(QWidget *, const QString &caption)
{
    progressLog.append(QLatin1Char('[') + caption + QLatin1Char(']'));
    return std::make_unique<RecordedProgress>(progressLog, std::exchange(cancelProgressAfter, -1));
}
