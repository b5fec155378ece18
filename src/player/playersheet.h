#ifndef PLAYERSHEET_H
#define PLAYERSHEET_H

#include "msheet.h"
#include "playback/playstate.h"

class AlbumArtGenerator;
class AlbumArtWidget;
class MButton;
class MLinearLayoutPolicy;
class MProgressIndicator;
class NowPlayingSheetWidget;
class PlayerControlsSheetWidget;

// The sheet shown over whatever is in front when another program has a URL or a file from
// outside the library played: the item's cover (its own picture, else a generated text cover),
// its texts, the transport controls of the radio/stream playing mode, and a header with Done,
// or with Cancel, a spinner and Save when the item may be saved into the library.
//
// While it is on display it is a sheet listener of the playback hub: every new item or change
// of texts refreshes it, and the end of its item closes it. Cancel and Done stop the item and
// close the sheet; Save asks the hub to save the item, and the buttons follow the save
// (disabled, with the spinner, while the library takes the copy).
class PlayerSheet : public MSheet
{
    Q_OBJECT

public:
    PlayerSheet();
    ~PlayerSheet() override;

    // For the application service's owner and tests.
    MButton* cancelButton() const { return cancel; }
    MButton* saveButton() const { return save; }
    MButton* doneButton() const { return done; }
    MProgressIndicator* savingSpinner() const { return spinner; }
    // True while the header offers Cancel and Save, false while it offers Done.
    bool offersSave() const;
    AlbumArtWidget* albumArt() const { return artWidget; }
    NowPlayingSheetWidget* information() const { return infoWidget; }
    PlayerControlsSheetWidget* controls() const { return controlsWidget; }

private slots:
    void cancelClicked();
    void saveClicked();
    void doneClicked();
    void previousClicked();
    void nextClicked();
    void handleAppearing();
    void disconnectUpdateSignals();
    void updateSheet(bool complete);
    void saveStateChangedSlot(PlayState::SaveState state);

private:
    void showArt();

    MButton* cancel;
    MButton* save;
    MButton* done;
    MLinearLayoutPolicy* saveArrangement = nullptr;
    MLinearLayoutPolicy* doneArrangement = nullptr;
    AlbumArtGenerator* generator;
    AlbumArtWidget* artWidget;
    NowPlayingSheetWidget* infoWidget;
    PlayerControlsSheetWidget* controlsWidget;
    PlayState* playState;
    MProgressIndicator* spinner = nullptr;
};

#endif // PLAYERSHEET_H
