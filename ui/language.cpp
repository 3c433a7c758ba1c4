#include "ui/language.h"

#include "platform/threadcheck.h"
#include "ui/panel.h"
#include "ui/uilog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QTranslator>

static void initTranslationResources()
{
    Q_INIT_RESOURCE(translations);
}

Language::Language(Panel *panel, QQmlEngine *engine, QObject *parent)
    : QObject(parent), panel_(panel), engine_(engine)
{
    initTranslationResources();
    if (panel_) {
        connect(panel_, &Panel::langTypeChanged, this, [this] { apply(panel_->langType()); });
        apply(panel_->langType());
    }
}

Language::~Language()
{
    if (translator_)
        QCoreApplication::removeTranslator(translator_.get());
}

QString Language::qmFile(int langType)
{
    switch (langType) {
    case 1: return QStringLiteral(":/i18n/tavrik_zh_TW.qm");
    case 2: return QStringLiteral(":/i18n/tavrik_zh_CN.qm");
    default: return {};
    }
}

bool Language::apply(int langType)
{
    TAVRIK_ASSERT_OWNER(this);
    if (langType < 0 || langType > 2)
        langType = 0;
    auto next = std::make_unique<QTranslator>();
    const QString file = qmFile(langType);
    bool ok = true;
    if (!file.isEmpty() && !next->load(file)) {
        qCWarning(lcUi).noquote() << "[ERR] language: cannot load" << file << "- staying in English";
        ok = false;
        langType = 0;
    }
    if (translator_)
        QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
    if (langType != 0) {
        translator_ = std::move(next);
        QCoreApplication::installTranslator(translator_.get());
    }
    current_ = langType;
    if (engine_)
        engine_->retranslate();
    return ok;
}

QString Language::fontFamily()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

bool Language::installFont()
{
    if (!QFontDatabase().families().contains(fontFamily())) {
        qCWarning(lcUi).noquote() << "[WARN] font" << fontFamily() << "is not installed; Chinese texts may not show";
        return false;
    }
    QFont font(fontFamily());
    QGuiApplication::setFont(font);
    return true;
}
