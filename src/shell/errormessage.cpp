#include "errormessage.h"

#include "common/logging.h"
#include "common/constants.h"
#include "mapplication.h"
#include "mbanner.h"
#include "mwindow.h"

#include <QDebug>

ErrorMessage::ErrorMessage(QObject* parent)
    : QObject(parent)
{
    // One text a line: the line is the code.
    // clang-format off
    texts << qtTrId("qtn_musi_unable_to_connect")
          << qtTrId("qtn_musi_connection_was_lost")
          << qtTrId("qtn_musi_connection_was_lost")
          << qtTrId("qtn_musi_file_not_found")
          << qtTrId("qtn_musi_codec_not_supported")
          << qtTrId("qtn_musi_format_not_supported")
          << qtTrId("qtn_musi_memory_not_availb")
          << qtTrId("qtn_musi_playlist_corrupted")
          << qtTrId("qtn_musi_empty_playlist")
          << qtTrId("qtn_musi_unable_to_play_song")
          << qtTrId("qtn_musi_unable_to_seek")
          << qtTrId("qtn_musi_call_no_play")
          << qtTrId("qtn_musi_drm_not_supported")
          << qtTrId("qtn_comm_app_not_responding");
    // clang-format on
}

ErrorMessage::~ErrorMessage() = default;

QString ErrorMessage::text(int code) const
{
    return code >= 0 && code < texts.size() ? texts.at(code) : QString();
}

void ErrorMessage::show(int code)
{
    banner = new MBanner;
    banner->setStyleName(Constants::InformationBanner);
    connect(banner, SIGNAL(disappeared()), this, SIGNAL(disappeared()));
    banner->setTitle(text(code));
    // Started as a bus service there may be no window yet. The banner then only logs its text
    // and still disappears on the next turn of the loop, so whoever waits for it goes on.
    MWindow* window = MApplication::activeWindow();
    if (!window)
        qCDebug(lcShell) << Q_FUNC_INFO << "- no window to show the banner on, code" << code;
    banner->appear(window, MSceneWindow::DestroyWhenDone);
}
