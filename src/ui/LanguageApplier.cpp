#include "LanguageApplier.h"

#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/widgets/Theme.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QLibraryInfo>
#include <QSet>
#include <QTranslator>

namespace ui {
namespace {

void setCaption(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        // Captions are plain text: a translation must not turn into markup.
        label->setTextFormat(Qt::PlainText);
        // Only a label with a buddy draws the accelerator itself.
        label->setText(label->buddy() ? text : withoutMnemonics(text));
    }
}

const char kTextKey[] = "textKey";

void setHeader(QAbstractItemView *view, int column, const QString &text)
{
    QAbstractItemModel *model = view->model();
    if (!model || column >= model->columnCount())
        return;
    model->setHeaderData(column, Qt::Horizontal, headerText(text));
}

// A control and the message key of the tooltip that explains it.
struct Explanation
{
    const char *control;
    QStringView key;
};

constexpr Explanation kExplanations[] = {
    {"TntL_AI1_High_RTN", u"Hint_AI1_High_RTN"},
    {"TntL_AI1_Low_RTN", u"Hint_AI1_Low_RTN"},
};

} // namespace

void applyExplanations(QWidget *root, const lang::LanguageTexts &texts)
{
    for (const Explanation &e : kExplanations) {
        const QString text = texts.messageText(e.key);
        for (QWidget *control : root->findChildren<QWidget *>(QLatin1String(e.control))) {
            control->setToolTip(plainToolTip(text));
            control->setAccessibleDescription(text);
        }
    }
}

void setTextKey(QWidget *control, QStringView key)
{
    control->setProperty(kTextKey, key.toString());
}

QStringList applyLanguageTexts(QWidget *root, const lang::LanguageTexts &texts)
{
    // One walk over the window instead of one search per key.
    QHash<QString, QWidget *> byName;
    QSet<QString> shared;
    auto add = [&](QWidget *widget) {
        const QString name = widget->objectName();
        if (name.isEmpty())
            return;
        if (byName.contains(name))
            shared.insert(name);
        else
            byName.insert(name, widget);
    };
    add(root);
    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        add(widget);

    QStringList sharedKeys;
    auto find = [&](const QString &name) -> QWidget * {
        if (shared.contains(name) && !sharedKeys.contains(name))
            sharedKeys.append(name);
        return byName.value(name);
    };

    for (const lang::KeyDef &key : lang::keys()) {
        switch (key.kind) {
        case lang::KeyKind::Message:
            break;
        case lang::KeyKind::Header:
            if (auto *view = qobject_cast<QAbstractItemView *>(find(key.key.chopped(3).toString())))
                setHeader(view, key.key.back().digitValue() - 1, texts.text(key.key));
            break;
        case lang::KeyKind::Caption: {
            const QString name = key.key == u"Telvarin" ? QStringLiteral("TntL_Title") : key.key.toString();
            if (QWidget *widget = find(name))
                setCaption(widget, texts.text(key.key));
            break;
        }
        }
    }
    for (QWidget *widget : widgets) {
        const QVariant key = widget->property(kTextKey);
        if (key.isValid())
            setCaption(widget, texts.messageText(key.toString()));
    }
    return sharedKeys;
}

QString withoutMnemonics(QStringView caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            shown.append(caption[i]);
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            shown.append(u'&');
            ++i;
        }
    }
    return shown;
}

QString headerText(QStringView caption)
{
    return caption.toString().replace(QStringLiteral("&&"), QStringLiteral("&"));
}

DialogTranslations::DialogTranslations() = default;

DialogTranslations::~DialogTranslations()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

void DialogTranslations::install(int code)
{
    // Qt's translation files per language code.
    static constexpr const char *kFiles[] = {nullptr, nullptr, "qtbase_it", "qtbase_de", "qtbase_es"};
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    const char *file = code >= 0 && code < int(std::size(kFiles)) ? kFiles[code] : nullptr;
    if (!file)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLatin1String(file), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_translator = std::move(translator);
}

} // namespace ui
