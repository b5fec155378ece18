#ifndef PAGEBACKGROUND_H
#define PAGEBACKGROUND_H

#include <QImage>

// The background the pages paint while the window is a thumbnail in the task switcher: the
// theme's page background, scaled once to the portrait screen and dithered to 16-bit colour,
// shared by every page of the process.
class PageBackground
{
public:
    static const int Width = 480;
    static const int Height = 854;

    // Makes the shared image from the theme when it is not made yet; a failure leaves it
    // empty, for the next page to try again.
    static void build();
    // The shared image; null until build() has succeeded.
    static const QImage& image();

    // A 16-bit copy of a 32-bit image, rounded per pixel against a 16 x 16 ordered-dither
    // threshold so that gradients show no bands. Any other image gives a blank 16-bit image
    // of its size.
    static QImage ditherToRgb16(const QImage& source);
    // The threshold (0..255) of the ordered-dither matrix at a pixel.
    static int threshold(int x, int y);

private:
    static QImage& shared();
};

#endif // PAGEBACKGROUND_H
