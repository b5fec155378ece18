#ifndef MAINPAGESTYLES_H
#define MAINPAGESTYLES_H

// The looks of the main page: the latest-activity grid (a 480 x 480 square of nine 156-pixel
// tiles, or the 318-pixel now-playing label beside five of them), the empty-device text and
// the updating-library notice that covers the page.
class MainPageStyles
{
public:
    // Adds the entries to the style table once per process.
    static void ensureRegistered();
};

#endif // MAINPAGESTYLES_H
