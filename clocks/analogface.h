// The pictures of an analog clock at its current scale and effects, and the
// hands turned to a time. Everything that does not change from second to
// second is made once per load; each second only the hands that moved are
// turned again, always from their unturned pictures. No windows: the window
// draws what this holds, and Compose gives the same picture in memory.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"
#include "clocks/clockmodel.h"
#include "clocks/skindata.h"
#include "image/picture.h"

#include <vector>

struct CClockFaceOptions {
    int nScale = 100;     // requested, already normalised
    int nFixedSize = -1;  // above 0: the larger side in pixels
    int nLight = 0;       // 0..10
    int nContrast = 0;
    int nJitter = 0;
};

enum { HAND_HOUR, HAND_MINUTE, HAND_SECOND, HAND_COUNT };

// The horizontal runs of a mask's pixels that are not transparent: a pixel is
// transparent when each of its colour bytes is 16 or less. One rectangle per
// run, rows from the top.
void GetMaskRuns(const CPicture& mask, std::vector<RECT>& runs);

class CAnalogClockFace {
public:
    struct CHand {
        CPicture picture; // at scale, with effects; its alpha plane is the mask
        CPicture mask;    // at scale: white where the hand is
        // The mask's corner is part of the hand, so the turned mask's
        // uncovered corners are too: the mask must then be turned itself.
        BOOL bCornerInMask = FALSE;
        // Where the alpha plane is not transparent, in the picture's rows
        // from the bottom (left, bottom, right, top; right and top exclusive).
        RECT rcOpaque = {0, 0, 0, 0};
        // The last turn: angle, turned picture, the runs of the turned mask
        // and where they go.
        int nAngle = -1;
        CPicture turned;
        std::vector<RECT> runs; // in the turned picture's pixels
        POINT ptAt = {0, 0};    // top-left of the turned picture on the face
    };

    // Makes the scaled pictures from a read skin (pictures as LoadAnalogSkin
    // gives them: face, hour, minute, second). FALSE when a size cannot be
    // made, with the message in GetLastError; the face is then unchanged.
    BOOL Prepare(const AnalogSkinData& data, CPicture* pPictures, const CClockFaceOptions& options);
    const CString& GetLastError() const { return m_strError; }

    // Turns the hands that moved since the last call. The second hand is
    // turned only when bSecondHand is set and the skin has one.
    BOOL Turn(int nHour, int nMinute, int nSecond, BOOL bSecondHand);
    // The hands to draw after Turn, in order hour, minute, second.
    BOOL IsHandShown(int nHand) const;
    // The hand's mask turned by its last angle as a picture of its own: what
    // the runs of the hand are the runs of.
    BOOL TurnMask(int nHand, CPicture& turnedMask) const;

    // Face and hands of the last Turn into out (made the face's size, 24 bits).
    BOOL Compose(CPicture& out) const;

    BOOL IsValid() const { return m_face.IsValid(); }
    const CPicture& GetFace() const { return m_face; }
    const CPicture& GetShape() const { return m_shape; }
    const CHand& GetHand(int nHand) const { return m_hands[nHand]; }
    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    int GetScale() const { return m_nScale; }
    BOOL HasSecondHand() const { return m_bHasSecondHand; }
    CSize GetSkinFaceSize() const { return m_sizeSkinFace; }
    CPoint GetSkinPivot() const { return m_ptSkinPivot; }
    CPoint GetPivot() const { return m_ptPivot; }
    const CString& GetDescription() const { return m_strDescription; }

private:
    BOOL TurnHand(CHand& hand, int nAngle);
    BOOL Fail(const CString& strError);

    CPicture m_face;   // scaled face, black outside its shape
    CPicture m_shape;  // scaled shape: white inside, black outside
    CHand m_hands[HAND_COUNT];
    BOOL m_bShown[HAND_COUNT] = {FALSE, FALSE, FALSE};
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    int m_nScale = 100;
    BOOL m_bHasSecondHand = FALSE;
    CSize m_sizeSkinFace;
    CPoint m_ptSkinPivot;
    CPoint m_ptPivot;
    CString m_strDescription;
    CString m_strError;
};
