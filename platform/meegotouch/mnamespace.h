#ifndef MNAMESPACE_H
#define MNAMESPACE_H

#include <QFlags>

// Shared enumerations of the touch UI stand-in. Callers pass some of them as plain numbers, so
// the values are fixed.
namespace M {

enum Orientation { Landscape = 0, Portrait = 1 };

// Where a widget sits in a group of widgets; it picks the matching background of its style.
enum Position {
    DefaultPosition = 0,
    TopLeftPosition,
    TopCenterPosition,
    TopRightPosition,
    CenterLeftPosition,
    CenterPosition, // 5
    CenterRightPosition,
    BottomLeftPosition,
    BottomCenterPosition,
    BottomRightPosition,
    HorizontalLeftPosition,
    HorizontalCenterPosition,
    HorizontalRightPosition,
    VerticalTopPosition,
    VerticalCenterPosition, // 14
    VerticalBottomPosition
};

enum AssemblyType { Application = 0, Library = 1 };

// Dialog buttons; a dialog finishes with the value of the button that closed it.
enum StandardButton {
    NoStandardButton = 0,
    OkButton = 0x00000200,
    YesButton = 0x00000400, // 1024
    NoButton = 0x00000800,
    SaveButton = 0x00001000,
    CancelButton = 0x00002000,
    CloseButton = 0x00004000,
    DoneButton = 0x00008000,
    DiscardButton = 0x00010000,
    ApplyButton = 0x00020000,
    ResetButton = 0x00040000,
    AbortButton = 0x00080000,
    RetryButton = 0x00100000,
    IgnoreButton = 0x00200000,
    HelpButton = 0x00400000
};
Q_DECLARE_FLAGS(StandardButtons, StandardButton)

} // namespace M

Q_DECLARE_OPERATORS_FOR_FLAGS(M::StandardButtons)

#endif // MNAMESPACE_H
