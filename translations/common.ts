<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="qtn_comm_app_not_responding">
        <source>Application is not responding</source>
        <extracomment>Banner shown before the player closes because the music library or the renderer is unavailable.</extracomment>
        <translation>Application is not responding</translation>
    </message>
    <message id="qtn_comm_appname_musi">
        <source>Music</source>
        <extracomment>Application name; the main window title.</extracomment>
        <translation>Music</translation>
    </message>
    <message id="qtn_comm_cancel">
        <source>Cancel</source>
        <extracomment>Sheet header button.</extracomment>
        <translation>Cancel</translation>
    </message>
    <message id="qtn_comm_command_add">
        <source>Add</source>
        <extracomment>Accept button of the song selection sheet when adding songs to a playlist.</extracomment>
        <translation>Add</translation>
    </message>
    <message id="qtn_comm_command_delete">
        <source>Delete</source>
        <extracomment>Object menu item.</extracomment>
        <translation>Delete</translation>
    </message>
    <message id="qtn_comm_command_done">
        <source>Done</source>
        <extracomment>Sheet header button; action key of the virtual keyboard in the search field.</extracomment>
        <translation>Done</translation>
    </message>
    <message id="qtn_comm_command_favorite">
        <source>Mark as favourite</source>
        <extracomment>Object menu item.</extracomment>
        <translation>Mark as favourite</translation>
    </message>
    <message id="qtn_comm_command_no">
        <source>No</source>
        <extracomment>Value of a yes/no property row.</extracomment>
        <translation>No</translation>
    </message>
    <message id="qtn_comm_command_unmark_favorite">
        <source>Remove from favourites</source>
        <extracomment>Object menu item shown instead of marking as favourite.</extracomment>
        <translation>Remove from favourites</translation>
    </message>
    <message id="qtn_comm_command_yes">
        <source>Yes</source>
        <extracomment>Value of a yes/no property row.</extracomment>
        <translation>Yes</translation>
    </message>
    <message id="qtn_comm_gigabytes">
        <source>%1 GB</source>
        <extracomment>File size; %1 is the size in gigabytes with one decimal.</extracomment>
        <translation>%1 GB</translation>
    </message>
    <message id="qtn_comm_kilobytes">
        <source>%1 kB</source>
        <extracomment>File size; %1 is the size in kilobytes with one decimal.</extracomment>
        <translation>%1 kB</translation>
    </message>
    <message id="qtn_comm_megabytes">
        <source>%1 MB</source>
        <extracomment>File size; %1 is the size in megabytes with one decimal.</extracomment>
        <translation>%1 MB</translation>
    </message>
    <message id="qtn_comm_not_all_indexed">
        <source>Not all content is indexed yet</source>
        <extracomment>Banner shown while the library is still being indexed.</extracomment>
        <translation>Not all content is indexed yet</translation>
    </message>
    <message id="qtn_comm_object_details">
        <source>Details</source>
        <extracomment>Object menu item that opens the song details.</extracomment>
        <translation>Details</translation>
    </message>
    <message id="qtn_comm_save">
        <source>Save</source>
        <extracomment>Sheet header button.</extracomment>
        <translation>Save</translation>
    </message>
    <message id="qtn_comm_search">
        <source>Search</source>
        <extracomment>Prompt of the empty search field.</extracomment>
        <translation>Search</translation>
    </message>
    <message id="qtn_common_bytes" numerus="yes">
        <source>%Ln bytes</source>
        <extracomment>File size below one kilobyte.</extracomment>
        <translation>
            <numerusform>%Ln byte</numerusform>
            <numerusform>%Ln bytes</numerusform>
        </translation>
    </message>
</context>
</TS>
