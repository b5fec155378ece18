#include "highlighter.h"

#include "mpalette.h"
#include "mtheme.h"

#include <QColor>
#include <QStringList>

namespace {

QString hexComponent(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

Highlighter::Highlighter(QObject* parent)
    : QObject(parent)
    , closeTag(QStringLiteral("</font></u>"))
{
    setHighlightColor();
    connect(MTheme::instance(), SIGNAL(themeChangeCompleted()), this, SLOT(setHighlightColor()));
}

Highlighter::~Highlighter() = default;

void Highlighter::setHighlightColor()
{
    const QColor accent = MTheme::palette().firstAccentColor();
    openTag = QStringLiteral("<u><font color=#%1%2%3>")
                  .arg(hexComponent(accent.red()), hexComponent(accent.green()),
                       hexComponent(accent.blue()));
}

QString Highlighter::highlight(const QString& text, const QString& filter) const
{
    if (filter.isEmpty())
        return text;

    int leading = 0;
    while (leading < filter.size() && filter.at(leading) == QLatin1Char(' '))
        ++leading;
    const QString stripped = filter.mid(leading);
    if (stripped.isEmpty())
        return text.toHtmlEscaped();

    // A phrase is looked for in the whole text; a single word in every word of it. Empty
    // parts are kept so that joining gives back the text's own spacing.
    if (stripped.contains(QLatin1Char(' ')))
        return markedItem(text, stripped);
    const QStringList words = text.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    QStringList marked;
    marked.reserve(words.size());
    for (const QString& word : words)
        marked.append(markedItem(word, stripped));
    return marked.join(QLatin1Char(' '));
}

QString Highlighter::markedItem(const QString& item, const QString& filter) const
{
    const int at = item.indexOf(filter, 0, Qt::CaseInsensitive);
    if (at < 0)
        return item.toHtmlEscaped();
    return item.left(at).toHtmlEscaped() + openTag + item.mid(at, filter.size()).toHtmlEscaped()
           + closeTag + item.mid(at + filter.size()).toHtmlEscaped();
}
