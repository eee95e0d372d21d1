// The frame of one command of the window: the jobs the command runs (a read, an edit, the picture
// after it) lock the window as one sequence, and the window returns to idle when the outermost
// sequence ends, whichever way the command's handler leaves (done, refused, stopped, failed). A
// sequence opened while another is running (the picture computed at the end of a read) joins it.
#pragma once

class TMainForm;

class JobSequence {
public:
    explicit JobSequence(TMainForm& form);
    // The outermost sequence returns the window to idle if a job ran, and then shows the failure that
    // ended it, if any.
    ~JobSequence();
    JobSequence(const JobSequence&) = delete;
    JobSequence& operator=(const JobSequence&) = delete;

private:
    TMainForm& form_;
};
