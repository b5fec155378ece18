#ifndef PAGEBENCH_H
#define PAGEBENCH_H

#include "mafwtrackermodel.h"

#include <functional>
#include <memory>

class MainWindow;
class MList;
class QuintaveilPage;

// What the page benchmarks share: their process (a private home, the offscreen platform, the
// engineering-English catalogs), a library of 50,000 songs in the real store, the program's
// window over the store, and the time a page takes from its first rows to its first screen.
class PageBench
{
public:
    // The library: 50,000 songs by 700 artists on 4,000 albums (one in ten a compilation),
    // titles in several scripts so that grouping and collation do real work. Written into a
    // fresh store once a process.
    static const int Songs = 50000;
    static bool writeFiftyThousandSongs();
    // A library of that make-up and the given size, in a fresh store left open. With files:
    // each song has a file of its own in the music folder, in a folder of its artist and album,
    // dated as the store has it, so that the indexer's scan finds nothing to do.
    static bool writeSongs(int count, bool withFiles = false);

    // Runs the event loop until done() holds or the time is up; returns done().
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs = 60000);

    // The window as the program opens it over the store: at the phone's size, shown, its
    // pages built ahead. Null when the store or the window did not start in time.
    static std::unique_ptr<MainWindow> openWindow();

    struct FirstScreen
    {
        // From the moment the page's model announces its first rows to the first screen
        // drawn; -1 when no rows came.
        double ms = -1;
        int cells = 0;             // the list's cells on that screen
        int firstRows = 0;         // the rows of the first announcement
        int rowsAtFirstScreen = 0; // the model's rows when the screen was drawn
    };
    // A first visit of a page, as at the first show after the start: the shared models are
    // made anew, makePage() builds the page, which appears in the window; timed from the
    // first rows of its model of the type until its first screen is drawn. The page stays.
    static FirstScreen showFirstScreen(MainWindow* window, MafwTrackerModel::QueryType type,
                                       const std::function<QuintaveilPage*()>& makePage);

    // Whether the list shows rows, each laid out (a row painted before its layout ran shows
    // its texts piled up in a corner, no screen a user can read).
    static bool rowsLaidOut(const MList* list);

    // The main of a benchmark executable: its benchmarks run in the process described above.
    static int run(int argc, char** argv);
};

#endif // PAGEBENCH_H
