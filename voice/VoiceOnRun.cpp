#include "voice/VoiceOnRun.h"

#include "results/TestRun.h"
#include "voice/VoiceCues.h"

namespace norak {

void attachVoiceToRun(VoiceCues& cues, const TestRun& run) {
    // The words fall between the recovery's start and its departure, clear of the alert.
    QObject::connect(&run, &TestRun::recoveryBegan, &cues, [&cues](const RecoveryBegan& r) {
        cues.recoveryBegan(int(r.nextPeriod), r.speedText, r.startTick, r.alertTick, r.departureTick);
    });
    QObject::connect(&run, &TestRun::stopped, &cues, &VoiceCues::callOff);
    QObject::connect(&run, &TestRun::newTestPrepared, &cues, &VoiceCues::callOff);
    QObject::connect(&run, &TestRun::leaving, &cues, &VoiceCues::callOff);
}

}  // namespace norak
