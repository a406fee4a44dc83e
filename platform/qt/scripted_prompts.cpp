#include "platform/qt/scripted_prompts.h"

namespace quilvane {
namespace {

QString kindName(ScriptedPrompts::Kind kind) {
    switch (kind) {
    case ScriptedPrompts::Kind::Question: return QStringLiteral("question");
    case ScriptedPrompts::Kind::Confirmation: return QStringLiteral("confirmation");
    case ScriptedPrompts::Kind::Notice: return QStringLiteral("notice");
    case ScriptedPrompts::Kind::Error: return QStringLiteral("error");
    case ScriptedPrompts::Kind::Input: return QStringLiteral("input box");
    case ScriptedPrompts::Kind::OpenFile: return QStringLiteral("open dialog");
    case ScriptedPrompts::Kind::SaveFile: return QStringLiteral("save dialog");
    case ScriptedPrompts::Kind::Folder: return QStringLiteral("folder browser");
    }
    return {};
}

}  // namespace

ScriptedPrompts& ScriptedPrompts::expectQuestion(const QString& text, bool yes) {
    script_.push_back({Kind::Question, text, yes, std::nullopt});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectConfirmation(const QString& text, bool yes) {
    script_.push_back({Kind::Confirmation, text, yes, std::nullopt});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectNotice(const QString& text) {
    script_.push_back({Kind::Notice, text, false, std::nullopt});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectError(const QString& text) {
    script_.push_back({Kind::Error, text, false, std::nullopt});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectInput(const QString& caption, const QString& prompt,
                                              std::optional<QString> answer) {
    script_.push_back({Kind::Input, caption + '|' + prompt, false, std::move(answer)});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectOpenFile(const QString& filter, const QString& answer) {
    script_.push_back({Kind::OpenFile, filter, false, answer});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectSaveFile(const QString& filter, const QString& answer) {
    script_.push_back({Kind::SaveFile, filter, false, answer});
    return *this;
}
ScriptedPrompts& ScriptedPrompts::expectFolder(const QString& answer) {
    script_.push_back({Kind::Folder, QString(), false, answer});
    return *this;
}

QStringList ScriptedPrompts::problems() const {
    QStringList all = problems_;
    for (const Expected& e : script_)
        all << QStringLiteral("expected %1 never shown: %2").arg(kindName(e.kind), e.text);
    return all;
}

std::optional<ScriptedPrompts::Expected> ScriptedPrompts::take(Kind kind, const QString& text) {
    shown_.push_back({kind, text});
    if (script_.empty()) {
        problems_ << QStringLiteral("unexpected %1: %2").arg(kindName(kind), text);
        return std::nullopt;
    }
    Expected next = script_.front();
    if (next.kind != kind || (!next.text.isEmpty() && next.text != text)) {
        problems_ << QStringLiteral("expected %1 \"%2\" but got %3 \"%4\"")
                         .arg(kindName(next.kind), next.text, kindName(kind), text);
        return std::nullopt;
    }
    script_.pop_front();
    return next;
}

bool ScriptedPrompts::question(QWidget*, const QString& text) {
    auto e = take(Kind::Question, text);
    return e && e->yes;
}
bool ScriptedPrompts::confirmation(QWidget*, const QString& text) {
    auto e = take(Kind::Confirmation, text);
    return e && e->yes;
}
void ScriptedPrompts::notice(QWidget*, const QString& text) { take(Kind::Notice, text); }
void ScriptedPrompts::error(QWidget*, const QString& text) { take(Kind::Error, text); }

QString ScriptedPrompts::input(QWidget*, const QString& caption, const QString& prompt,
                               const QString& defaultText) {
    auto e = take(Kind::Input, caption + '|' + prompt);
    return e && e->answer ? *e->answer : defaultText;
}
QString ScriptedPrompts::openFileName(QWidget*, const QString& filter) {
    auto e = take(Kind::OpenFile, filter);
    return e ? e->answer.value_or(QString()) : QString();
}
QString ScriptedPrompts::saveFileName(QWidget*, const QString& filter) {
    auto e = take(Kind::SaveFile, filter);
    return e ? e->answer.value_or(QString()) : QString();
}
QString ScriptedPrompts::folder(QWidget*, const QString&) {
    auto e = take(Kind::Folder, QString());
    return e ? e->answer.value_or(QString()) : QString();
}

}  // namespace quilvane
