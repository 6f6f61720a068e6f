// Reads hostile bytes as an analog and as a digital skin stream, pictures
// decoded and regions clipped. A refused stream must leave the record as it
// was; an accepted one must keep every rectangle inside its picture.
#include "clocks/skindata.h"

#include "image/picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void CheckInside(const RegionBlock& region, const CPicture& picture)
{
    for (const RECT& rc : region.rects) {
        if (rc.left < 0 || rc.top < 0 || rc.left >= rc.right || rc.top >= rc.bottom
            || rc.right > static_cast<LONG>(picture.GetWidth()) || rc.bottom > static_cast<LONG>(picture.GetHeight()))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CString strError;
    AnalogSkinData analog;
    analog.strDescription = "kept";
    CPicture analogPictures[4];
    if (LoadAnalogSkin(pData, nSize, analog, analogPictures, strError)) {
        CheckInside(analog.faceRegion, analogPictures[0]);
        CheckInside(analog.hourRegion, analogPictures[1]);
        CheckInside(analog.minuteRegion, analogPictures[2]);
        if (analog.dwHasSecondHand != 0)
            CheckInside(analog.secondRegion, analogPictures[3]);
    } else if (analog.strDescription != "kept" || strError.IsEmpty() || analogPictures[0].IsValid()) {
        std::abort();
    }

    DigitalSkinData digital;
    CPicture digitalPictures[2];
    if (LoadDigitalSkin(pData, nSize, digital, digitalPictures, strError)) {
        CheckInside(digital.backgroundRegion, digitalPictures[0]);
        if (digital.nHasAbcRegion > 0)
            CheckInside(digital.abcRegion, digitalPictures[1]);
    } else if (!digital.strDescription.IsEmpty() || digitalPictures[1].IsValid()) {
        std::abort();
    }
    return 0;
}
