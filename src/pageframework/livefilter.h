#ifndef LIVEFILTER_H
#define LIVEFILTER_H

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

class FilterWidget;
class QKeyEvent;
class QuintaveilPage;

// The keyboard side of a page's live filter: the first printable key typed on the page opens
// the search field above the list with that key in it, and so does pulling the list down from
// its very top. The field's text reaches the page at most every 200 ms, as it stands then, and
// an empty text follows 200 ms after the page has left the screen. Where the field goes and
// what the text filters is the page's matter.
class LiveFilter : public QObject
{
    Q_OBJECT

public:
    explicit LiveFilter(QuintaveilPage* page);
    ~LiveFilter() override;

    // The search field, made once, a child of the page's central widget; null before.
    FilterWidget* field() const { return filterField; }
    void createField();

    // On: the field's edits go to the page. A page switches it on once its list shows rows.
    void enableKeyboardFiltering(bool enable);
    void enableOnDisplayEnter();
    void disableOnDisplayExit();
    // Takes a printable key into the field; false when the key is not the filter's.
    bool takeKey(QKeyEvent* event);

    // Follows the page's viewport for the pull-down that opens the field.
    void followViewport();
    void setPanning(bool panning);
    bool isPanning() const { return panning; }

signals:
    void textChanged(QString text);
    void started();
    void stopped();
    // The list was pulled down from its top while the field is hidden.
    void pulledDown();

private slots:
    void handleFieldTextChange();
    void sendText();
    void handleViewportMoved(const QPointF& position);

private:
    QuintaveilPage* page;
    QPointer<FilterWidget> filterField;
    // Held as a QObject: the viewport may be half destroyed when it goes.
    QPointer<QObject> viewport;
    QPointF lastViewportPosition;
    bool keyboardFiltering = false;
    bool sendPending = false;
    bool panning = false;
};

#endif // LIVEFILTER_H
