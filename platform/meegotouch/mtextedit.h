#ifndef MTEXTEDIT_H
#define MTEXTEDIT_H

#include "mtexteditmodel.h"
#include "mwidgetcontroller.h"

// A text field on Qt key events: typing, backspace and delete, cursor keys, home and end,
// paste, and input-method commits. A single-line field emits returnPressed() on Enter. The
// prompt shows while the field is empty. textChanged() fires on every change of the text.
class MTextEdit : public MWidgetController
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit MTextEdit(MTextEditModel::LineMode mode = MTextEditModel::SingleLine,
                       const QString& text = QString(), QGraphicsItem* parent = nullptr);
    ~MTextEdit() override;

    QString text() const;
    MTextEditModel::LineMode lineMode() const;

    QString prompt() const;
    void setPrompt(const QString& prompt);

    int maxLength() const;
    void setMaxLength(int length);

    int cursorPosition() const;
    void setCursorPosition(int position);

    // Input-method hints; a desktop keyboard has no use for them, they are kept for callers.
    void setInputMethodCorrectionEnabled(bool enabled);
    void setInputMethodAutoCapitalizationEnabled(bool enabled);
    void setInputMethodPredictionEnabled(bool enabled);
    bool inputMethodPredictionEnabled() const;
    void attachToolbar(int id);
    int attachedToolbarId() const;

public slots:
    bool setText(const QString& text);
    void clear();
    bool insert(const QString& text);

signals:
    void textChanged();
    void returnPressed();
    void gainedFocus(Qt::FocusReason reason);
    void lostFocus(Qt::FocusReason reason);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    QString cleaned(const QString& text) const;

    MTextEditModel::LineMode mode;
    QString content;
    QString promptText;
    int maximumLength = 32767;
    int cursor = 0;
    bool readOnly = false;
    bool correction = true;
    bool autoCapitalization = true;
    bool prediction = true;
    int toolbarId = -1;
};

#endif // MTEXTEDIT_H
