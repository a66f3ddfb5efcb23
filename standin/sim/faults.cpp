#include "faults.h"

#include "text_util.h"

namespace {

struct KindName {
    FaultKind kind;
    const char* name;
};

const KindName KindNames[] = {
    {FaultKind::NotStarted, "not-started"},
    {FaultKind::Busy, "busy"},
    {FaultKind::WrongVersion, "wrong-version"},
    {FaultKind::Status, "status"},
    {FaultKind::Truncate, "truncate"},
    {FaultKind::Malformed, "malformed"},
    {FaultKind::Fill, "fill"},
    {FaultKind::Init, "init"},
};

struct MalformationName {
    Malformation malformation;
    const char* name;
};

const MalformationName MalformationNames[] = {
    {Malformation::RecordSizeZero, "record-size-zero"},
    {Malformation::RecordSizePastEnd, "record-size-past-end"},
    {Malformation::NameSizePastEnd, "name-size-past-end"},
    {Malformation::CountTooLarge, "count-too-large"},
    {Malformation::NameNoNul, "name-no-nul"},
    {Malformation::IdNoNul, "id-no-nul"},
};

bool FindKind(const std::string& name, FaultKind& kind)
{
    for (const KindName& entry : KindNames)
        if (name == entry.name) {
            kind = entry.kind;
            return true;
        }
    return false;
}

const char* KindText(FaultKind kind)
{
    for (const KindName& entry : KindNames)
        if (entry.kind == kind)
            return entry.name;
    return "?";
}

bool FindMalformation(const std::string& name, Malformation& malformation)
{
    for (const MalformationName& entry : MalformationNames)
        if (name == entry.name) {
            malformation = entry.malformation;
            return true;
        }
    return false;
}

const char* MalformationText(Malformation malformation)
{
    for (const MalformationName& entry : MalformationNames)
        if (entry.malformation == malformation)
            return entry.name;
    return "?";
}

}  // namespace

bool ParseFault(const std::vector<std::string>& words, SimFault& fault, std::string& error)
{
    fault = SimFault();
    if (words.empty() || !FindKind(words[0], fault.kind)) {
        error = "unknown fault kind";
        return false;
    }
    switch (fault.kind) {
    case FaultKind::NotStarted:
        fault.status = StatusNotStarted;
        break;
    case FaultKind::Busy:
        fault.status = StatusBusy;
        fault.bytes = 16;
        break;
    case FaultKind::WrongVersion:
        fault.status = StatusWrongVersion;
        break;
    case FaultKind::Init:
        fault.status = StatusWrongVersion;
        break;
    case FaultKind::Malformed:
        fault.code = 1;
        break;
    default:
        break;
    }
    bool bytesGiven = false;
    for (size_t at = 1; at < words.size(); ++at) {
        std::string key, value;
        if (!SplitOption(words[at], key, value)) {
            if (fault.kind == FaultKind::Malformed && FindMalformation(words[at], fault.malformation))
                continue;
            error = "bad fault option '" + words[at] + "'";
            return false;
        }
        bool good = true;
        uint32_t number = 0;
        if (key == "code")
            good = ParseU32(value, fault.code);
        else if (key == "status")
            good = ParseU32(value, fault.status);
        else if (key == "bytes") {
            good = ParseU32(value, fault.bytes);
            bytesGiven = true;
        } else if (key == "record")
            good = ParseU32(value, fault.record);
        else if (key == "kind")
            good = FindMalformation(value, fault.malformation);
        else if (key == "times") {
            good = ParseU32(value, number) && number > 0 && number < 0x7FFFFFFF;
            fault.remaining = static_cast<int32_t>(number);
        } else if (key == "interface") {
            good = !value.empty();
            fault.subject = value;
        } else if (key == "from") {
            good = fault.kind == FaultKind::Fill && ParseU32(value, fault.from);
        } else if (key == "value") {
            good = fault.kind == FaultKind::Fill && ParseU32(value, fault.value) && fault.value < 256;
        } else if (key == "apply") {
            good = fault.kind == FaultKind::Status && (value == "0" || value == "1");
            fault.apply = value == "1";
        } else if (key == "block") {
            if (value == "yes")
                fault.block = true;
            else if (value == "no")
                fault.block = false;
            else {
                good = ParseU32(value, fault.bytes);
                fault.block = true;
            }
        } else {
            good = false;
        }
        if (!good) {
            error = "bad fault option '" + words[at] + "'";
            return false;
        }
    }
    if (fault.kind == FaultKind::Truncate && !bytesGiven) {
        error = "truncate needs bytes=N";
        return false;
    }
    return true;
}

bool TakeFault(uint32_t code, bool init, SimFault& fault, const std::string& subject)
{
    for (size_t at = 0; at < Sim.faults.size(); ++at) {
        SimFault& candidate = Sim.faults[at];
        if ((candidate.kind == FaultKind::Init) != init)
            continue;
        if (!init && candidate.code != 0 && candidate.code != code)
            continue;
        if (!candidate.subject.empty() && candidate.subject != subject)
            continue;
        fault = candidate;
        if (candidate.remaining > 0 && --candidate.remaining == 0)
            Sim.faults.erase(Sim.faults.begin() + at);
        return true;
    }
    return false;
}

int ClearFaults(const std::string& kind)
{
    size_t before = Sim.faults.size();
    if (kind == "all") {
        Sim.faults.clear();
        return static_cast<int>(before);
    }
    FaultKind wanted;
    if (!FindKind(kind, wanted))
        return -1;
    std::vector<SimFault> kept;
    for (const SimFault& fault : Sim.faults)
        if (fault.kind != wanted)
            kept.push_back(fault);
    Sim.faults.swap(kept);
    return static_cast<int>(before - Sim.faults.size());
}

std::string DescribeFault(const SimFault& fault)
{
    std::string text = KindText(fault.kind);
    if (fault.kind == FaultKind::Malformed)
        text += std::string(" ") + MalformationText(fault.malformation);
    if (fault.kind != FaultKind::Init)
        text += " code=" + std::to_string(fault.code);
    text += " times=" + (fault.remaining < 0 ? std::string("forever") : std::to_string(fault.remaining));
    if (fault.kind == FaultKind::Status || fault.kind == FaultKind::Init)
        text += " status=" + Hex32(fault.status);
    if (fault.kind == FaultKind::Truncate)
        text += " bytes=" + std::to_string(fault.bytes);
    if (fault.kind == FaultKind::Busy && fault.block)
        text += " block=" + std::to_string(fault.bytes);
    if (fault.kind == FaultKind::Fill)
        text += " from=" + std::to_string(fault.from) + " value=" + Hex32(fault.value);
    if (fault.kind == FaultKind::Malformed)
        text += " record=" + std::to_string(fault.record);
    if (!fault.subject.empty())
        text += " interface=" + fault.subject;
    if (fault.apply)
        text += " apply=1";
    return text;
}
