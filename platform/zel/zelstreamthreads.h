#ifndef ZELSTREAMTHREADS_H
#define ZELSTREAMTHREADS_H

typedef struct _GstElement GstElement;

// The streaming threads of one pipeline. A pipeline that the player has given up may go on
// working for minutes in a state change that nothing in GStreamer interrupts (a demuxer
// building its index of a header of hundreds of thousands of entries): its threads then run at
// the least priority, so that what the user moved away from takes next to no time from what
// plays. A process without privileges cannot raise a thread again, and GStreamer's own pool
// hands its threads from one pipeline to the next: each task of an attached pipeline runs on a
// thread of its own, which ends with the task.
class ZelStreamThreads
{
public:
    // The tasks that the pipeline's elements start from now on get threads of their own.
    static void attach(GstElement* pipeline);
    // The streaming threads of an attached pipeline, those running and those it starts later,
    // run at the least priority from now on.
    static void giveUp(GstElement* pipeline);
    // True when the attached pipeline has made streaming tasks and none of them runs any more:
    // each has paused or stopped, and nothing in the pipeline moves data until it is told to.
    static bool stalled(GstElement* pipeline);
};

#endif // ZELSTREAMTHREADS_H
