#include "platform/qt/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace quilvane {
namespace {

const QString kWarningCaption = QStringLiteral("警告！");

Prompts* installed = nullptr;

}  // namespace

Prompts& prompts() {
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

void installPrompts(Prompts* p) { installed = p; }

bool QtPrompts::question(QWidget* parent, const QString& text) {
    return QMessageBox::warning(parent, kWarningCaption, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::confirmation(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompts::notice(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

void QtPrompts::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationName(), text);
}

QString QtPrompts::input(QWidget* parent, const QString& caption, const QString& prompt,
                         const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    return ok ? text : defaultText;
}

QString QtPrompts::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& filter) {
    // The caller appends the extension itself, so the dialog must not add one.
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::folder(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Select Directory"), start);
}

}  // namespace quilvane
