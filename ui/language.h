#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QString>

#include <memory>

class Panel;
class QTranslator;

// The interface language, switched at run time: follows Panel::langType
// (0 English, 1 Traditional Chinese, 2 Simplified Chinese), installs the
// matching translator and retranslates every page at once, without a
// restart. English is the source language, so it needs no translator.
// Lives on the interface thread.
class Language : public QObject
{
    Q_OBJECT
public:
    explicit Language(Panel *panel, QQmlEngine *engine = nullptr, QObject *parent = nullptr);
    ~Language() override;

    // Installs the translator of `langType` (out of range: English).
    bool apply(int langType);
    int current() const { return current_; }

    // The compiled translation in the resources, empty for English.
    static QString qmFile(int langType);
    // Makes the panel's CJK font the application font; false (with a log
    // line) when it is not installed.
    static bool installFont();
    static QString fontFamily();

private:
    QPointer<Panel> panel_;
    QPointer<QQmlEngine> engine_;
    std::unique_ptr<QTranslator> translator_;
    int current_ = 0;
};
