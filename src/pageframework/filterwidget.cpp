#include "filterwidget.h"

#include "mbutton.h"
#include "mimagewidget.h"
#include "minputmethodstate.h"
#include "mtextedit.h"

#include <QGraphicsLinearLayout>

namespace {
const int MaximumFilterLength = 50;
}

FilterWidget::FilterWidget(QGraphicsItem* parent)
    : MStylableWidget(parent)
    , mainLayout(new QGraphicsLinearLayout(Qt::Horizontal))
    , magnifierImage(nullptr)
    , searchField(nullptr)
    , clear(nullptr)
    , fieldContainer(nullptr)
    , fieldLayout(nullptr)
    , maxLength(MaximumFilterLength)
{
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    setLayout(mainLayout);
    setLayoutPosition(M::VerticalCenterPosition);

    fieldContainer = new MStylableWidget;
    fieldLayout = new QGraphicsLinearLayout(Qt::Horizontal);
    fieldLayout->setContentsMargins(0, 0, 0, 0);
    fieldLayout->setSpacing(0);
    fieldContainer->setLayout(fieldLayout);
    fieldContainer->setLayoutPosition(M::VerticalCenterPosition);

    searchField = new MTextEdit(MTextEditModel::SingleLine, QString(), fieldContainer);
    searchField->setStyleName(QStringLiteral("CommonSearchFieldInverted"));
    fieldLayout->addItem(searchField);
    fieldLayout->setAlignment(searchField, Qt::AlignVCenter);
    mainLayout->addItem(fieldContainer);

    searchField->setInputMethodCorrectionEnabled(false);
    searchField->setInputMethodAutoCapitalizationEnabled(false);
    searchField->setInputMethodPredictionEnabled(false);
    searchField->setPrompt(qtTrId("qtn_comm_search"));

    // The magnifier and the clear button float over the right end of the field.
    magnifierImage = new MImageWidget(this);
    magnifierImage->setStyleName(QStringLiteral("SearchMagnifier"));
    magnifierImage->setImage(QStringLiteral("icon-m-common-search"));
    magnifierImage->setMinimumSize(magnifierImage->preferredSize());
    magnifierImage->setPos(412, 16);

    clear = new MButton(this);
    clear->setViewType(MButton::iconType);
    clear->setStyleName(QStringLiteral("ClearButton"));
    clear->setIconID(QStringLiteral("icon-m-input-clear"));
    clear->setPos(408, 8);
    clear->hide();
    magnifierImage->show();

    connect(clear, SIGNAL(clicked()), this, SLOT(clearTextField()));
    connect(searchField, SIGNAL(textChanged()), this, SLOT(handleTextChanged()));
    connect(searchField, SIGNAL(returnPressed()), this, SLOT(closeTheVKB()));
    connect(searchField, SIGNAL(gainedFocus(Qt::FocusReason)), this,
            SIGNAL(focusGained(Qt::FocusReason)));
    connect(searchField, SIGNAL(lostFocus(Qt::FocusReason)), this,
            SIGNAL(focusLost(Qt::FocusReason)));

    MInputMethodState* inputMethod = MInputMethodState::instance();
    const int toolbar = inputMethod->registerAttributeExtension(QString());
    searchField->attachToolbar(toolbar);
    searchField->setMaxLength(maxLength);
    inputMethod->setExtendedAttribute(toolbar, QStringLiteral("/keys"), QStringLiteral("actionKey"),
                                      QStringLiteral("label"), qtTrId("qtn_comm_command_done"));
    inputMethod->setExtendedAttribute(toolbar, QStringLiteral("/keys"), QStringLiteral("actionKey"),
                                      QStringLiteral("highlighted"), true);
}

FilterWidget::~FilterWidget()
{
    delete magnifierImage;
    delete clear;
}

QString FilterWidget::text() const
{
    return searchField->text();
}

void FilterWidget::setText(const QString& text)
{
    searchField->setText(text);
}

void FilterWidget::clearFocus()
{
    searchField->clearFocus();
}

void FilterWidget::setPromptText(const QString& prompt)
{
    searchField->setPrompt(prompt.isEmpty() ? qtTrId("qtn_comm_search") : prompt);
}

void FilterWidget::clearPrompt()
{
    searchField->setPrompt(QString());
}

void FilterWidget::handleTextChanged()
{
    fieldLayout->invalidate();
    emit textChanged();

    if (!searchField->text().isEmpty()) {
        magnifierImage->hide();
        if (!searchField->hasFocus() && sender() == searchField)
            searchField->setFocus(Qt::MouseFocusReason);
        clear->show();
    } else {
        clear->hide();
        magnifierImage->show();
    }

    fieldLayout->activate();
    fieldLayout->updateGeometry();
}

void FilterWidget::clearTextField()
{
    searchField->setText(QString());
    searchField->setFocus(Qt::OtherFocusReason);
    emit clearClicked();
}

void FilterWidget::closeTheVKB()
{
    searchField->clearFocus();
}
