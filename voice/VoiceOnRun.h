#pragma once

namespace norak {

class TestRun;
class VoiceCues;

// Attaches the spoken cues to a run: every recovery the run announces (the warm-up's among them)
// is spoken, and Stop, a new test or leaving the program calls off whatever is still to be said,
// so that no word follows a stopped test. The connections end with either object.
void attachVoiceToRun(VoiceCues& cues, const TestRun& run);

}  // namespace norak
