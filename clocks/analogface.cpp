#include "clocks/analogface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const BYTE kTransparentMax = 16;

BOOL To24Bits(CPicture& picture)
{
    if (!picture.IsValid())
        return FALSE;
    return picture.GetBpp() == 24 || picture.IncreaseBpp(24);
}

// Which pixels of a w x h picture the region's rectangles cover, rows from
// the top. Skin pictures are decoded within the skin pixel limit, so w x h
// fits a size_t even on 32 bits.
std::vector<BYTE> Coverage(const RegionBlock& region, LONG w, LONG h)
{
    std::vector<BYTE> covered(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    for (const RECT& rc : region.rects) {
        const LONG l = std::max<LONG>(rc.left, 0), r = std::min<LONG>(rc.right, w);
        const LONG t = std::max<LONG>(rc.top, 0), b = std::min<LONG>(rc.bottom, h);
        for (LONG y = t; y < b; y++) {
            if (l < r)
                std::memset(&covered[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(l)], 1,
                            static_cast<size_t>(r - l));
        }
    }
    return covered;
}

// Row y counted from the top of a bottom-up picture.
BYTE* TopRow(const CPicture& picture, LONG y)
{
    return picture.GetBits(picture.GetHeight() - 1 - static_cast<DWORD>(y));
}

// Black outside the face's shape, within the shape's bounding box from (0, 0).
void BlackenOutside(CPicture& face, const RegionBlock& region)
{
    const LONG w = static_cast<LONG>(face.GetWidth()), h = static_cast<LONG>(face.GetHeight());
    if (region.rects.empty())
        return;
    const std::vector<BYTE> covered = Coverage(region, w, h);
    const LONG r = std::min<LONG>(std::max<LONG>(region.rcBound.right, 0), w);
    const LONG b = std::min<LONG>(std::max<LONG>(region.rcBound.bottom, 0), h);
    for (LONG y = 0; y < b; y++) {
        BYTE* row = TopRow(face, y);
        for (LONG x = 0; x < r; x++) {
            if (!covered[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)])
                std::memset(row + static_cast<size_t>(x) * 3, 0, 3);
        }
    }
}

// A 24-bit picture of w x h, black, with the region's pixels white.
BOOL MakeMask(const RegionBlock& region, DWORD w, DWORD h, CPicture& mask)
{
    if (mask.Create(w, h, 24) == nullptr)
        return FALSE;
    mask.Clear(0);
    const std::vector<BYTE> covered = Coverage(region, static_cast<LONG>(w), static_cast<LONG>(h));
    for (LONG y = 0; y < static_cast<LONG>(h); y++) {
        BYTE* row = TopRow(mask, y);
        for (LONG x = 0; x < static_cast<LONG>(w); x++) {
            if (covered[static_cast<size_t>(y) * w + static_cast<size_t>(x)])
                std::memset(row + static_cast<size_t>(x) * 3, 0xFF, 3);
        }
    }
    return TRUE;
}

void ApplyEffects(CPicture& picture, const CClockFaceOptions& options)
{
    if (!picture.IsValid())
        return;
    if (options.nLight > 0 || options.nContrast > 0)
        picture.Light(options.nLight * 10, options.nContrast * 10);
    if (options.nJitter > 0)
        picture.Jitter(options.nJitter);
}

// The mask into the picture's alpha plane: 255 where the mask is opaque, 0
// elsewhere, so one turn moves picture and mask alike.
BOOL CarryMask(CPicture& picture, const CPicture& mask)
{
    if (!picture.AlphaCreate())
        return FALSE;
    const LONG w = static_cast<LONG>(picture.GetWidth()), h = static_cast<LONG>(picture.GetHeight());
    for (LONG y = 0; y < h; y++) {
        const BYTE* m = mask.GetBits(static_cast<DWORD>(y));
        BYTE* a = picture.AlphaGetPointer(0, y);
        for (LONG x = 0; x < w; x++, m += 3)
            a[x] = (m[0] > kTransparentMax || m[1] > kTransparentMax || m[2] > kTransparentMax) ? 255 : 0;
    }
    return TRUE;
}

BOOL ResampleTo(CPicture& picture, DWORD w, DWORD h)
{
    return w != 0 && h != 0 && picture.Resample(static_cast<LONG>(w), static_cast<LONG>(h), 1, nullptr);
}

// The bounds of the alpha plane's pixels above 16, rows from the bottom.
RECT GetOpaqueBounds(const CPicture& picture)
{
    const LONG w = static_cast<LONG>(picture.GetWidth()), h = static_cast<LONG>(picture.GetHeight());
    RECT rc = {w, h, 0, 0};
    for (LONG y = 0; y < h; y++) {
        const BYTE* row = picture.AlphaGetPointer(0, y);
        for (LONG x = 0; x < w; x++) {
            if (row[x] <= kTransparentMax)
                continue;
            rc.left = std::min(rc.left, x);
            rc.right = std::max(rc.right, x + 1);
            rc.top = std::min(rc.top, y);
            rc.bottom = std::max(rc.bottom, y + 1);
        }
    }
    if (rc.left >= rc.right)
        ::SetRectEmpty(&rc);
    return rc;
}

// Narrows [i0, i1) to the indexes i of [0, n) for which a + b x i may lie in
// (lo, hi), widened by one each way against rounding. Whole degrees give a
// slope of either nothing at all (a quarter turn) or more than a hundredth;
// nothing narrows nothing.
void ClipSpan(double a, double b, double lo, double hi, LONG n, LONG& i0, LONG& i1)
{
    if (std::fabs(b) < 1e-6)
        return;
    double from = (lo - a) / b, to = (hi - a) / b;
    if (from > to)
        std::swap(from, to);
    const double dn = static_cast<double>(n);
    i0 = std::max(i0, static_cast<LONG>(std::min(std::max(std::floor(from) - 1, 0.0), dn)));
    i1 = std::min(i1, static_cast<LONG>(std::min(std::max(std::ceil(to) + 1, 0.0), dn)));
}

// A 24-bit picture with its alpha plane turned as CPicture::Rotate turns it:
// the same size and, for every target pixel, the same nearest source pixel by
// the same arithmetic, but worked out only along the part of each row whose
// source lies within rcOpaque. The rest stays black and transparent: no run of
// the turned plane reaches it, so nothing draws it. A hand's picture is the
// size of the face and its hand a thin part of it; every second the work
// shrinks by as much.
BOOL TurnWithin(const CPicture& picture, const RECT& rcOpaque, int nAngle, CPicture& turned)
{
    const double theta = -static_cast<double>(static_cast<float>(nAngle)) * std::acos(0.0) / 90.0;
    const double c = std::cos(theta), s = std::sin(theta);
    const double w = picture.GetWidth(), h = picture.GetHeight();
    const double px[4] = {0, w, 0, w - 1}, py[4] = {0, 0, h, h};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int k = 1; k < 4; ++k) {
        const double tx = std::floor(px[k] * c - py[k] * s), ty = std::floor(px[k] * s + py[k] * c);
        minX = std::min(minX, tx);
        maxX = std::max(maxX, tx);
        minY = std::min(minY, ty);
        maxY = std::max(maxY, ty);
    }
    const LONG nw = static_cast<LONG>((maxX + 2) - minX), nh = static_cast<LONG>((maxY + 2) - minY);
    const BYTE* pAlpha = picture.AlphaGetPointer(0, 0);
    if (pAlpha == nullptr)
        return FALSE;
    // Create gives a black picture; the alpha plane starts opaque.
    if (turned.Create(static_cast<DWORD>(nw), static_cast<DWORD>(nh), 24) == nullptr || !turned.AlphaCreate())
        return FALSE;
    turned.AlphaClear();
    const LONG sw = static_cast<LONG>(picture.GetWidth()), sh = static_cast<LONG>(picture.GetHeight());
    for (LONG j = 0; j < nh; ++j) {
        const double y = minY + j;
        const double ys = y * s, yc = y * c;
        // fx = (minX + i) c + ys - 0.5 and fy = yc - (minX + i) s - 0.5 must
        // fall within the opaque bounds for the pixel to carry the hand.
        LONG i0 = 0, i1 = nw;
        ClipSpan(minX * c + ys - 0.5, c, rcOpaque.left - 1.0, rcOpaque.right, nw, i0, i1);
        ClipSpan(yc - minX * s - 0.5, -s, rcOpaque.top - 1.0, rcOpaque.bottom, nw, i0, i1);
        BYTE* drow = turned.GetBits(static_cast<DWORD>(j));
        BYTE* arow = turned.AlphaGetPointer(0, j);
        for (LONG i = i0; i < i1; ++i) {
            const double x = minX + i;
            const double fx = x * c + ys - 0.5, fy = yc - x * s - 0.5;
            if (!(fx > -1 && fy > -1 && fx < sw && fy < sh))
                continue;
            const LONG sx = static_cast<LONG>(fx), sy = static_cast<LONG>(fy);
            const BYTE* p = picture.GetBits(static_cast<DWORD>(sy)) + static_cast<size_t>(sx) * 3;
            BYTE* d = drow + static_cast<size_t>(i) * 3;
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
            arow[i] = pAlpha[static_cast<size_t>(sy) * static_cast<size_t>(sw) + static_cast<size_t>(sx)];
        }
    }
    return TRUE;
}

} // namespace

// The runs of the alpha plane above 16: the mask the plane carries, as
// GetMaskRuns finds it in a 0/255 mask picture.
static void GetAlphaRuns(const CPicture& picture, std::vector<RECT>& runs)
{
    runs.clear();
    const LONG w = static_cast<LONG>(picture.GetWidth()), h = static_cast<LONG>(picture.GetHeight());
    for (LONG y = 0; y < h; y++) {
        const BYTE* row = picture.AlphaGetPointer(0, h - 1 - y);
        LONG x = 0;
        while (x < w) {
            const LONG x0 = x;
            while (x < w && row[x] > kTransparentMax)
                x++;
            if (x > x0) {
                RECT rc = {x0, y, x, y + 1};
                runs.push_back(rc);
            }
            x++;
        }
    }
}

void GetMaskRuns(const CPicture& mask, std::vector<RECT>& runs)
{
    runs.clear();
    if (!mask.IsValid())
        return;
    const LONG w = static_cast<LONG>(mask.GetWidth()), h = static_cast<LONG>(mask.GetHeight());
    const bool bTrueColour = mask.GetBpp() == 24;
    for (LONG y = 0; y < h; y++) {
        const BYTE* row = TopRow(mask, y);
        auto opaque = [&](LONG x) {
            if (bTrueColour) {
                const BYTE* p = row + static_cast<size_t>(x) * 3;
                return p[0] > kTransparentMax || p[1] > kTransparentMax || p[2] > kTransparentMax;
            }
            const RGBQUAD c = mask.GetPixelColor(x, h - 1 - y, false);
            return c.rgbRed > kTransparentMax || c.rgbGreen > kTransparentMax || c.rgbBlue > kTransparentMax;
        };
        LONG x = 0;
        while (x < w) {
            const LONG x0 = x;
            while (x < w && opaque(x))
                x++;
            if (x > x0) {
                RECT rc = {x0, y, x, y + 1};
                runs.push_back(rc);
            }
            x++;
        }
    }
}

BOOL CAnalogClockFace::Fail(const CString& strError)
{
    m_strError = strError;
    return FALSE;
}

BOOL CAnalogClockFace::Prepare(const AnalogSkinData& data, CPicture* pPictures, const CClockFaceOptions& options)
{
    if (!pPictures[0].IsValid() || !pPictures[1].IsValid() || !pPictures[2].IsValid())
        return Fail("Cannot read the skin's pictures!");
    const BOOL bSecond = data.dwHasSecondHand != 0 && pPictures[3].IsValid();
    const int nHands = bSecond ? HAND_COUNT : HAND_SECOND;
    const RegionBlock* regions[HAND_COUNT] = {&data.hourRegion, &data.minuteRegion, &data.secondRegion};

    // Every size first: a clock that cannot be drawn at its scale is refused
    // before anything is made.
    DWORD nLargest = std::max(pPictures[0].GetWidth(), pPictures[0].GetHeight());
    for (int i = 0; i < nHands; i++)
        nLargest = std::max({nLargest, pPictures[1 + i].GetWidth(), pPictures[1 + i].GetHeight()});
    const int nScale = GetLoadScale(options.nScale, options.nFixedSize, nLargest);
    const DWORD w = ScaleLength(pPictures[0].GetWidth(), nScale), h = ScaleLength(pPictures[0].GetHeight(), nScale);
    DWORD handSizes[HAND_COUNT][2] = {};
    BOOL bFits = w != 0 && h != 0;
    for (int i = 0; i < nHands; i++) {
        handSizes[i][0] = ScaleLength(pPictures[1 + i].GetWidth(), nScale);
        handSizes[i][1] = ScaleLength(pPictures[1 + i].GetHeight(), nScale);
        bFits = bFits && handSizes[i][0] != 0 && handSizes[i][1] != 0;
    }
    if (!bFits)
        return Fail(GetClockSizeText(options.nScale, options.nFixedSize, nScale));
    const CString strNoMemory = GetClockMemoryText(static_cast<LONG>(w), static_cast<LONG>(h));

    CPicture face(pPictures[0]);
    if (!To24Bits(face))
        return Fail(strNoMemory);
    BlackenOutside(face, data.faceRegion);

    CHand hands[HAND_COUNT];
    for (int i = 0; i < nHands; i++) {
        hands[i].picture.Copy(pPictures[1 + i]);
        if (!To24Bits(hands[i].picture)
            || !MakeMask(*regions[i], hands[i].picture.GetWidth(), hands[i].picture.GetHeight(), hands[i].mask))
            return Fail(strNoMemory);
    }

    // Effects change the pictures, never the masks, so outlines stay exact.
    ApplyEffects(face, options);
    for (CHand& hand : hands)
        ApplyEffects(hand.picture, options);

    const CSize sizeSkin(static_cast<int>(face.GetWidth()), static_cast<int>(face.GetHeight()));
    CPicture shape;
    if (!MakeMask(data.faceRegion, face.GetWidth(), face.GetHeight(), shape) || !ResampleTo(shape, w, h)
        || !ResampleTo(face, w, h))
        return Fail(strNoMemory);
    for (int i = 0; i < nHands; i++) {
        CHand& hand = hands[i];
        const DWORD hw = handSizes[i][0], hh = handSizes[i][1];
        if (!ResampleTo(hand.picture, hw, hh) || !ResampleTo(hand.mask, hw, hh) || !CarryMask(hand.picture, hand.mask))
            return Fail(strNoMemory);
        const RGBQUAD corner = hand.mask.GetPixelColor(-1, -1, false);
        hand.bCornerInMask = corner.rgbRed > kTransparentMax || corner.rgbGreen > kTransparentMax
                             || corner.rgbBlue > kTransparentMax;
        hand.rcOpaque = GetOpaqueBounds(hand.picture);
    }

    const SkinDescription description(data.strDescription);
    const CPivot px = ::GetPivot(description.GetField(SkinDescription::ANALOG_PIVOT_X), w, nScale);
    const CPivot py = ::GetPivot(description.GetField(SkinDescription::ANALOG_PIVOT_Y), h, nScale);

    // Everything could be made: only now does the face change.
    m_face.Transfer(face);
    m_shape.Transfer(shape);
    for (int i = 0; i < HAND_COUNT; i++) {
        CHand& hand = m_hands[i];
        hand.picture.Transfer(hands[i].picture);
        hand.mask.Transfer(hands[i].mask);
        hand.bCornerInMask = hands[i].bCornerInMask;
        hand.rcOpaque = hands[i].rcOpaque;
        hand.turned.Destroy();
        hand.runs.clear();
        hand.nAngle = -1;
        m_bShown[i] = FALSE;
    }
    m_nWidth = static_cast<LONG>(w);
    m_nHeight = static_cast<LONG>(h);
    m_nScale = nScale;
    m_bHasSecondHand = bSecond;
    m_sizeSkinFace = sizeSkin;
    m_ptSkinPivot = CPoint(px.nSkin, py.nSkin);
    m_ptPivot = CPoint(px.nScaled, py.nScaled);
    m_strDescription = data.strDescription;
    m_strError.Empty();
    return TRUE;
}

BOOL CAnalogClockFace::TurnHand(CHand& hand, int nAngle)
{
    if (hand.nAngle == nAngle)
        return TRUE;
    hand.nAngle = -1;
    hand.runs.clear();
    // Always from the unturned picture: turning last second's result again
    // would grow and blur the hand. The turn takes the mask along in the
    // alpha plane, whose uncovered corners are always transparent; only a
    // mask whose corner is part of the hand needs a turn of its own, and its
    // picture the library's whole turn, since those corners are drawn.
    if (hand.bCornerInMask) {
        if (!hand.picture.Rotate(static_cast<float>(nAngle), &hand.turned))
            return FALSE;
        CPicture turnedMask(hand.mask);
        if (!turnedMask.Rotate(static_cast<float>(nAngle), nullptr))
            return FALSE;
        GetMaskRuns(turnedMask, hand.runs);
    } else {
        if (!TurnWithin(hand.picture, hand.rcOpaque, nAngle, hand.turned))
            return FALSE;
        GetAlphaRuns(hand.turned, hand.runs);
    }
    hand.ptAt.x = m_ptPivot.x - static_cast<LONG>(hand.turned.GetWidth() / 2);
    hand.ptAt.y = m_ptPivot.y - static_cast<LONG>(hand.turned.GetHeight() / 2);
    hand.nAngle = nAngle;
    return TRUE;
}

BOOL CAnalogClockFace::Turn(int nHour, int nMinute, int nSecond, BOOL bSecondHand)
{
    if (!IsValid())
        return FALSE;
    const CHandAngles angles = GetHandAngles(nHour, nMinute, nSecond);
    const int anAngles[HAND_COUNT] = {angles.nHour, angles.nMinute, angles.nSecond};
    BOOL bAll = TRUE;
    for (int i = 0; i < HAND_COUNT; i++) {
        m_bShown[i] = FALSE;
        if (!m_hands[i].picture.IsValid() || (i == HAND_SECOND && !bSecondHand))
            continue;
        m_bShown[i] = TurnHand(m_hands[i], anAngles[i]);
        bAll = bAll && m_bShown[i];
    }
    return bAll;
}

BOOL CAnalogClockFace::TurnMask(int nHand, CPicture& turnedMask) const
{
    if (nHand < 0 || nHand >= HAND_COUNT || m_hands[nHand].nAngle < 0)
        return FALSE;
    return turnedMask.Copy(m_hands[nHand].mask)
           && turnedMask.Rotate(static_cast<float>(m_hands[nHand].nAngle), nullptr);
}

BOOL CAnalogClockFace::IsHandShown(int nHand) const
{
    return nHand >= 0 && nHand < HAND_COUNT && m_bShown[nHand];
}

BOOL CAnalogClockFace::Compose(CPicture& out) const
{
    if (!IsValid() || !out.Copy(m_face))
        return FALSE;
    const LONG w = m_nWidth, h = m_nHeight;
    for (int i = 0; i < HAND_COUNT; i++) {
        if (!m_bShown[i])
            continue;
        const CHand& hand = m_hands[i];
        for (const RECT& run : hand.runs) {
            const LONG y = hand.ptAt.y + run.top;
            if (y < 0 || y >= h)
                continue;
            const LONG x0 = std::max<LONG>(hand.ptAt.x + run.left, 0);
            const LONG x1 = std::min<LONG>(hand.ptAt.x + run.right, w);
            if (x0 >= x1)
                continue;
            const BYTE* src = TopRow(hand.turned, run.top) + static_cast<size_t>(x0 - hand.ptAt.x) * 3;
            BYTE* dst = TopRow(out, y) + static_cast<size_t>(x0) * 3;
            std::memcpy(dst, src, static_cast<size_t>(x1 - x0) * 3);
        }
    }
    return TRUE;
}
