#include "monitor/diagram_texts.h"

#include "monitor/speed_format.h"
#include "monitor/text_builder.h"

const Char16 NotConnectedText[] = TEXT16("Not connected");

static void PutSpeed(TextBuilder* b, uint64_t rate, bool inBytes)
{
    Char16 speed[SpeedTextSize];
    FormatSpeed(rate, speed, inBytes);
    PutText(b, speed);
}

bool ComposeRateText(Char16* text, bool send, uint64_t current, uint64_t peak, bool showCurrent, bool showPeak,
                     bool inBytes)
{
    TextBuilder b = StartText(text, DiagramTextSize);
    if (!showCurrent && !showPeak)
        return false;
    PutText(&b, send ? TEXT16("Snd") : TEXT16("Rcv"));
    if (showCurrent) {
        PutText(&b, TEXT16(": "));
        PutSpeed(&b, current, inBytes);
        if (showPeak) {
            PutText(&b, TEXT16(" /  "));
            PutSpeed(&b, peak, inBytes);
        }
    } else {
        PutText(&b, TEXT16(" Peak: "));
        PutSpeed(&b, peak, inBytes);
    }
    return true;
}

void ComposeMaxSpeedText(Char16* text, uint32_t maxSpeed, uint64_t linkSpeed, uint32_t connectionCount, bool inBytes)
{
    TextBuilder b = StartText(text, DiagramTextSize);
    PutText(&b, TEXT16("MaxSpeed: "));
    PutSpeed(&b, linkSpeed > maxSpeed ? linkSpeed : maxSpeed, inBytes);
    if (connectionCount != 1) {
        PutText(&b, TEXT16(" / "));
        PutDecimal(&b, int32_t(connectionCount), 0);
    }
}
