#pragma once
// The presentation application's object model as COM-lite interfaces.
//
// Conventions, as the application's own type library has them:
// - `long` there is 32-bit: every integer, enumeration and tri-state here is LONG (std::int32_t);
// - geometry in points and times in seconds are float, angles in degrees;
// - positions and collection items count from 1;
// - tri-states are -1 (true) and 0 (false); colours are 0x00BBGGRR;
// - texts are BSTR (UTF-16); out-strings belong to the caller, who frees them;
// - out-interfaces are AddRef'ed for the caller; IDispatch-typed results are plain IUnknown here.
// Members are declared in the application's own order; a property's get precedes its put.

#include "com/ComLite.h"

namespace PowerPoint {

using IDispatch = ::IUnknown;

// ---- Enumerations (values as the application publishes them) --------------------------------
using MsoTriState = LONG;
enum : LONG { msoTrue = -1, msoFalse = 0, msoCTrue = 1, msoTriStateToggle = -3, msoTriStateMixed = -2 };

using MsoShapeType = LONG;
enum : LONG {
    msoShapeTypeMixed = -2,
    msoAutoShape = 1,
    msoCallout = 2,
    msoChart = 3,
    msoComment = 4,
    msoFreeform = 5,
    msoGroup = 6,
    msoEmbeddedOLEObject = 7,
    msoFormControl = 8,
    msoLine = 9,
    msoLinkedOLEObject = 10,
    msoLinkedPicture = 11,
    msoOLEControlObject = 12,
    msoPicture = 13,
    msoPlaceholder = 14,
    msoTextEffect = 15,
    msoMedia = 16,
    msoTextBox = 17,
    msoScriptAnchor = 18,
    msoTable = 19,
    msoCanvas = 20,
    msoDiagram = 21,
    msoInk = 22,
    msoInkComment = 23,
};

using MsoAutoShapeType = LONG;
enum : LONG {
    msoShapeMixed = -2,
    msoShapeNotPrimitive = 138,
    msoShapeRectangle = 1,
    msoShapeParallelogram = 2,
    msoShapeTrapezoid = 3,
    msoShapeDiamond = 4,
    msoShapeRoundedRectangle = 5,
    msoShapeOctagon = 6,
    msoShapeIsoscelesTriangle = 7,
    msoShapeRightTriangle = 8,
    msoShapeOval = 9,
    msoShapeRectangularCallout = 105,
    msoShapeRoundedRectangularCallout = 106,
    msoShapeOvalCallout = 107,
    msoShapeCloudCallout = 108,
};

using PpMediaType = LONG;
enum : LONG { ppMediaTypeMixed = -2, ppMediaTypeOther = 1, ppMediaTypeSound = 2, ppMediaTypeMovie = 3 };

using PpSaveAsFileType = LONG;
enum : LONG { ppSaveAsPresentation = 1, ppSaveAsPNG = 18 };

using PpShapeFormat = LONG;
enum : LONG {
    ppShapeFormatGIF = 0,
    ppShapeFormatJPG = 1,
    ppShapeFormatPNG = 2,
    ppShapeFormatBMP = 3,
    ppShapeFormatWMF = 4,
    ppShapeFormatEMF = 5
};

using PpExportMode = LONG;
enum : LONG { ppRelativeToSlide = 1, ppClipRelativeToSlide = 2, ppScaleToFit = 3, ppScaleXY = 4 };

using PpActionType = LONG;
enum : LONG {
    ppActionMixed = -2,
    ppActionNone = 0,
    ppActionNextSlide = 1,
    ppActionPreviousSlide = 2,
    ppActionFirstSlide = 3,
    ppActionLastSlide = 4,
    ppActionLastSlideViewed = 5,
    ppActionEndShow = 6,
    ppActionHyperlink = 7,
    ppActionRunMacro = 8,
    ppActionRunProgram = 9,
    ppActionNamedSlideShow = 10,
    ppActionOLEVerb = 11,
    ppActionPlay = 12,
};

using PpMouseActivation = LONG;
enum : LONG { ppMouseClick = 1, ppMouseOver = 2 };

using MsoHyperlinkType = LONG;
enum : LONG { msoHyperlinkRange = 0, msoHyperlinkShape = 1, msoHyperlinkInlineShape = 2 };

using PpAfterEffect = LONG;
enum : LONG {
    ppAfterEffectMixed = -2,
    ppAfterEffectNothing = 0,
    ppAfterEffectHide = 1,
    ppAfterEffectDim = 2,
    ppAfterEffectHideOnClick = 3
};

using PpAdvanceMode = LONG;
enum : LONG { ppAdvanceModeMixed = -2, ppAdvanceOnClick = 1, ppAdvanceOnTime = 2 };

using PpEntryEffect = LONG;
enum : LONG { ppEffectMixed = -2, ppEffectNone = 0, ppEffectCut = 257, ppEffectRandom = 513, ppEffectAppear = 3844 };

using PpTextLevelEffect = LONG;
enum : LONG { ppAnimateLevelMixed = -2, ppAnimateLevelNone = 0, ppAnimateByFirstLevel = 1, ppAnimateByAllLevels = 16 };

using PpBulletType = LONG;
enum : LONG { ppBulletMixed = -2, ppBulletNone = 0, ppBulletUnnumbered = 1, ppBulletNumbered = 2, ppBulletPicture = 3 };

using PpNumberedBulletStyle = LONG;
enum : LONG {
    ppBulletAlphaLCPeriod = 0,
    ppBulletAlphaUCPeriod = 1,
    ppBulletArabicParenRight = 2,
    ppBulletArabicPeriod = 3
};

using PpBaselineAlignment = LONG;
enum : LONG {
    ppBaselineAlignMixed = -2,
    ppBaselineAlignBaseline = 1,
    ppBaselineAlignTop = 2,
    ppBaselineAlignCenter = 3,
    ppBaselineAlignFarEast50 = 4
};

using PpParagraphAlignment = LONG;
enum : LONG {
    ppAlignmentMixed = -2,
    ppAlignLeft = 1,
    ppAlignCenter = 2,
    ppAlignRight = 3,
    ppAlignJustify = 4,
    ppAlignDistribute = 5
};

using PpAutoSize = LONG;
enum : LONG { ppAutoSizeMixed = -2, ppAutoSizeNone = 0, ppAutoSizeShapeToFitText = 1 };

using MsoTextOrientation = LONG;
enum : LONG {
    msoTextOrientationHorizontal = 1,
    msoTextOrientationUpward = 2,
    msoTextOrientationDownward = 3,
    msoTextOrientationVerticalFarEast = 4,
    msoTextOrientationVertical = 5
};

using MsoVerticalAnchor = LONG;
enum : LONG { msoAnchorTop = 1, msoAnchorMiddle = 3, msoAnchorBottom = 4 };

using MsoHorizontalAnchor = LONG;
enum : LONG { msoAnchorNone = 1, msoAnchorCenter = 2 };

using PpSoundFormatType = LONG;
enum : LONG { ppSoundFormatMixed = -2, ppSoundNone = 0, ppSoundWAV = 1, ppSoundMIDI = 2, ppSoundCDAudio = 3 };

using MsoFillType = LONG;
enum : LONG {
    msoFillMixed = -2,
    msoFillSolid = 1,
    msoFillPatterned = 2,
    msoFillGradient = 3,
    msoFillTextured = 4,
    msoFillBackground = 5,
    msoFillPicture = 6
};

using MsoLineDashStyle = LONG;
enum : LONG { msoLineSolid = 1, msoLineDash = 4 };

using MsoPictureColorType = LONG;
enum : LONG { msoPictureAutomatic = 1, msoPictureGrayscale = 2, msoPictureBlackAndWhite = 3, msoPictureWatermark = 4 };

using PpColorSchemeIndex = LONG;
enum : LONG {
    ppBackground = 1,
    ppForeground = 2,
    ppShadow = 3,
    ppTitle = 4,
    ppFill = 5,
    ppAccent1 = 6,
    ppAccent2 = 7,
    ppAccent3 = 8
};

using PpViewType = LONG;
enum : LONG { ppViewSlide = 1, ppViewNormal = 9 };

using PpSelectionType = LONG;
enum : LONG { ppSelectionNone = 0, ppSelectionSlides = 1, ppSelectionShapes = 2, ppSelectionText = 3 };

using MsoAnimEffect = LONG;
enum : LONG { msoAnimEffectCustom = 0, msoAnimEffectAppear = 1, msoAnimEffectFly = 2, msoAnimEffectFade = 10 };

using MsoAnimTriggerType = LONG;
enum : LONG {
    msoAnimTriggerNone = 0,
    msoAnimTriggerOnPageClick = 1,
    msoAnimTriggerWithPrevious = 2,
    msoAnimTriggerAfterPrevious = 3,
    msoAnimTriggerOnShapeClick = 4
};

using MsoAnimDirection = LONG;
enum : LONG {
    msoAnimDirectionNone = 0,
    msoAnimDirectionUp = 1,
    msoAnimDirectionRight = 2,
    msoAnimDirectionDown = 3,
    msoAnimDirectionLeft = 4
};

using MsoAnimateByLevel = LONG;
enum : LONG {
    msoAnimateLevelMixed = -1,
    msoAnimateLevelNone = 0,
    msoAnimateTextByAllLevels = 1,
    msoAnimateTextByFirstLevel = 2
};

// ---- Interfaces -------------------------------------------------------------------------------
struct _Application;
struct _Presentation;
struct Slides;
struct _Slide;
struct SlideRange;
struct _Master;
struct Shapes;
struct Shape;
struct ShapeRange;
struct TextFrame;
struct TextRange;
struct Font;
struct ParagraphFormat;
struct BulletFormat;
struct Ruler;
struct RulerLevels;
struct RulerLevel;
struct FillFormat;
struct LineFormat;
struct ColorFormat;
struct PictureFormat;
struct OLEFormat;
struct SoundFormat;
struct Adjustments;
struct Hyperlinks;
struct Hyperlink;
struct ActionSettings;
struct ActionSetting;
struct HeadersFooters;
struct HeaderFooter;
struct AnimationSettings;
struct SlideShowTransition;
struct ColorScheme;
struct RGBColor;
struct Tags;
struct TimeLine;
struct Sequence;
struct Effect;
struct Timing;
struct EffectParameters;
struct EffectInformation;
struct DocumentWindows;
struct DocumentWindow;
struct View;
struct Selection;

struct _Application : IUnknown {
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT get_ActivePresentation(_Presentation** out) = 0;
    // "11.0" by default; "9.0" selects the older animation model.
    virtual HRESULT get_Version(BSTR* out) = 0;
};

struct _Presentation : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_SlideMaster(_Master** out) = 0;
    virtual HRESULT get_Slides(Slides** out) = 0;
    virtual HRESULT get_Windows(DocumentWindows** out) = 0;
    virtual HRESULT get_Tags(Tags** out) = 0;
    virtual HRESULT get_FullName(BSTR* out) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT get_Path(BSTR* out) = 0;
    virtual HRESULT get_Saved(MsoTriState* out) = 0;
    virtual HRESULT put_Saved(MsoTriState value) = 0;
    virtual HRESULT SaveCopyAs(BSTR FileName, PpSaveAsFileType FileFormat, MsoTriState EmbedTrueTypeFonts) = 0;
};

struct Slides : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    // Index: VT_I4 position from 1, or VT_BSTR slide name.
    virtual HRESULT Item(VARIANT Index, _Slide** out) = 0;
    virtual HRESULT FindBySlideID(LONG SlideID, _Slide** out) = 0;
    // Index: VT_I4 position, VT_BSTR name, VT_ARRAY|VT_UI1 is not a slide list; VT_EMPTY: all slides.
    virtual HRESULT Range(VARIANT Index, SlideRange** out) = 0;
};

struct _Slide : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Shapes(Shapes** out) = 0;
    virtual HRESULT get_HeadersFooters(HeadersFooters** out) = 0;
    virtual HRESULT get_SlideShowTransition(SlideShowTransition** out) = 0;
    virtual HRESULT get_ColorScheme(ColorScheme** out) = 0;
    // What the slide shows behind its shapes (its own or its master's), as a shape range of one.
    virtual HRESULT get_Background(ShapeRange** out) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT put_Name(BSTR value) = 0;
    virtual HRESULT get_SlideID(LONG* out) = 0;
    virtual HRESULT Select() = 0;
    // Inserts a full copy right after this slide, with a new slide id.
    virtual HRESULT Duplicate(SlideRange** out) = 0;
    virtual HRESULT Delete() = 0;
    virtual HRESULT get_Tags(Tags** out) = 0;
    virtual HRESULT get_SlideIndex(LONG* out) = 0;
    virtual HRESULT get_SlideNumber(LONG* out) = 0;
    virtual HRESULT get_Master(_Master** out) = 0;
    virtual HRESULT get_Hyperlinks(Hyperlinks** out) = 0;
    // Renders the slide into a picture file (filter "png", ...); scales are pixels.
    virtual HRESULT Export(BSTR FileName, BSTR FilterName, LONG ScaleWidth, LONG ScaleHeight) = 0;
    virtual HRESULT MoveTo(LONG toPos) = 0;
    virtual HRESULT get_TimeLine(TimeLine** out) = 0;
};

struct SlideRange : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    // Single-slide properties answer for a range of exactly one slide.
    virtual HRESULT get_Shapes(Shapes** out) = 0;
    virtual HRESULT get_HeadersFooters(HeadersFooters** out) = 0;
    virtual HRESULT get_SlideShowTransition(SlideShowTransition** out) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT get_SlideID(LONG* out) = 0;
    virtual HRESULT Select() = 0;
    virtual HRESULT Duplicate(SlideRange** out) = 0;
    virtual HRESULT Delete() = 0;
    virtual HRESULT get_Tags(Tags** out) = 0;
    virtual HRESULT get_SlideIndex(LONG* out) = 0;
    virtual HRESULT get_Master(_Master** out) = 0;
    virtual HRESULT get_Hyperlinks(Hyperlinks** out) = 0;
    virtual HRESULT Export(BSTR FileName, BSTR FilterName, LONG ScaleWidth, LONG ScaleHeight) = 0;
    virtual HRESULT Item(VARIANT Index, _Slide** out) = 0;
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT MoveTo(LONG toPos) = 0;
    virtual HRESULT get_TimeLine(TimeLine** out) = 0;
};

struct _Master : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Shapes(Shapes** out) = 0;
    virtual HRESULT get_HeadersFooters(HeadersFooters** out) = 0;
    virtual HRESULT get_ColorScheme(ColorScheme** out) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    // The slide size, in points.
    virtual HRESULT get_Height(float* out) = 0;
    virtual HRESULT get_Width(float* out) = 0;
    virtual HRESULT get_Tags(Tags** out) = 0;
};

struct Shapes : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Count(LONG* out) = 0;
    // Index: VT_I4 position from 1 (in z-order), or VT_BSTR shape name.
    virtual HRESULT Item(VARIANT Index, Shape** out) = 0;
    // VT_EMPTY: every shape of the slide.
    virtual HRESULT Range(VARIANT Index, ShapeRange** out) = 0;
};

struct Shape : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Delete() = 0;
    virtual HRESULT get_Adjustments(Adjustments** out) = 0;
    virtual HRESULT get_AutoShapeType(MsoAutoShapeType* out) = 0;
    virtual HRESULT put_AutoShapeType(MsoAutoShapeType value) = 0;
    virtual HRESULT get_Connector(MsoTriState* out) = 0;
    virtual HRESULT get_Fill(FillFormat** out) = 0;
    virtual HRESULT get_Height(float* out) = 0;
    virtual HRESULT put_Height(float value) = 0;
    virtual HRESULT get_HorizontalFlip(MsoTriState* out) = 0;
    virtual HRESULT get_Left(float* out) = 0;
    virtual HRESULT put_Left(float value) = 0;
    virtual HRESULT get_Line(LineFormat** out) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT put_Name(BSTR value) = 0;
    virtual HRESULT get_Rotation(float* out) = 0;
    virtual HRESULT put_Rotation(float value) = 0;
    virtual HRESULT get_PictureFormat(PictureFormat** out) = 0;
    virtual HRESULT get_TextFrame(TextFrame** out) = 0;
    virtual HRESULT get_Top(float* out) = 0;
    virtual HRESULT put_Top(float value) = 0;
    virtual HRESULT get_Type(MsoShapeType* out) = 0;
    virtual HRESULT get_VerticalFlip(MsoTriState* out) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
    virtual HRESULT get_Width(float* out) = 0;
    virtual HRESULT put_Width(float value) = 0;
    virtual HRESULT get_ZOrderPosition(LONG* out) = 0;
    virtual HRESULT get_OLEFormat(OLEFormat** out) = 0;
    virtual HRESULT get_AnimationSettings(AnimationSettings** out) = 0;
    virtual HRESULT get_ActionSettings(ActionSettings** out) = 0;
    virtual HRESULT get_Tags(Tags** out) = 0;
    // Copies every property onto the same slide, on top of the z-order.
    virtual HRESULT Duplicate(ShapeRange** out) = 0;
    virtual HRESULT get_MediaType(PpMediaType* out) = 0;
    virtual HRESULT get_HasTextFrame(MsoTriState* out) = 0;
    virtual HRESULT get_SoundFormat(SoundFormat** out) = 0;
    virtual HRESULT get_Id(LONG* out) = 0;
    // Renders the shape into a picture file.
    virtual HRESULT Export(BSTR PathName, PpShapeFormat Filter, LONG ScaleWidth, LONG ScaleHeight,
                           PpExportMode ExportMode) = 0;
};

struct ShapeRange : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Delete() = 0;
    // The fill of a range of one shape (or of a slide's background).
    virtual HRESULT get_Fill(FillFormat** out) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
    virtual HRESULT Item(VARIANT Index, Shape** out) = 0;
    virtual HRESULT get_Count(LONG* out) = 0;
};

struct TextFrame : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;  // the Shape
    virtual HRESULT get_MarginBottom(float* out) = 0;
    virtual HRESULT put_MarginBottom(float value) = 0;
    virtual HRESULT get_MarginLeft(float* out) = 0;
    virtual HRESULT put_MarginLeft(float value) = 0;
    virtual HRESULT get_MarginRight(float* out) = 0;
    virtual HRESULT put_MarginRight(float value) = 0;
    virtual HRESULT get_MarginTop(float* out) = 0;
    virtual HRESULT put_MarginTop(float value) = 0;
    virtual HRESULT get_Orientation(MsoTextOrientation* out) = 0;
    virtual HRESULT put_Orientation(MsoTextOrientation value) = 0;
    virtual HRESULT get_HasText(MsoTriState* out) = 0;
    virtual HRESULT get_TextRange(TextRange** out) = 0;
    virtual HRESULT get_Ruler(Ruler** out) = 0;
    virtual HRESULT get_HorizontalAnchor(MsoHorizontalAnchor* out) = 0;
    virtual HRESULT put_HorizontalAnchor(MsoHorizontalAnchor value) = 0;
    virtual HRESULT get_VerticalAnchor(MsoVerticalAnchor* out) = 0;
    virtual HRESULT put_VerticalAnchor(MsoVerticalAnchor value) = 0;
    virtual HRESULT get_AutoSize(PpAutoSize* out) = 0;
    virtual HRESULT put_AutoSize(PpAutoSize value) = 0;
    virtual HRESULT get_WordWrap(MsoTriState* out) = 0;
    virtual HRESULT put_WordWrap(MsoTriState value) = 0;
    virtual HRESULT DeleteText() = 0;
};

struct TextRange : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;  // the TextFrame for a whole text, else the TextRange it came from
    virtual HRESULT get_ActionSettings(ActionSettings** out) = 0;
    virtual HRESULT get_Start(LONG* out) = 0;  // from 1
    virtual HRESULT get_Length(LONG* out) = 0;
    virtual HRESULT get_BoundLeft(float* out) = 0;
    virtual HRESULT get_BoundTop(float* out) = 0;
    virtual HRESULT get_BoundWidth(float* out) = 0;
    virtual HRESULT get_BoundHeight(float* out) = 0;
    // Sub-ranges: Start from 1, Length in items; Start -1 and Length -1 ask for the whole range.
    virtual HRESULT Paragraphs(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT Sentences(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT Words(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT Characters(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT Lines(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT Runs(LONG Start, LONG Length, TextRange** out) = 0;
    virtual HRESULT get_Text(BSTR* out) = 0;
    virtual HRESULT put_Text(BSTR value) = 0;
    virtual HRESULT get_Font(Font** out) = 0;
    virtual HRESULT get_ParagraphFormat(ParagraphFormat** out) = 0;
    virtual HRESULT get_IndentLevel(LONG* out) = 0;
    virtual HRESULT put_IndentLevel(LONG value) = 0;
    virtual HRESULT Delete() = 0;
};

struct Font : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Color(ColorFormat** out) = 0;
    virtual HRESULT get_Bold(MsoTriState* out) = 0;
    virtual HRESULT put_Bold(MsoTriState value) = 0;
    virtual HRESULT get_Italic(MsoTriState* out) = 0;
    virtual HRESULT put_Italic(MsoTriState value) = 0;
    virtual HRESULT get_Shadow(MsoTriState* out) = 0;
    virtual HRESULT put_Shadow(MsoTriState value) = 0;
    virtual HRESULT get_Emboss(MsoTriState* out) = 0;
    virtual HRESULT put_Emboss(MsoTriState value) = 0;
    virtual HRESULT get_Underline(MsoTriState* out) = 0;
    virtual HRESULT put_Underline(MsoTriState value) = 0;
    virtual HRESULT get_Subscript(MsoTriState* out) = 0;
    virtual HRESULT put_Subscript(MsoTriState value) = 0;
    virtual HRESULT get_Superscript(MsoTriState* out) = 0;
    virtual HRESULT put_Superscript(MsoTriState value) = 0;
    virtual HRESULT get_BaselineOffset(float* out) = 0;
    virtual HRESULT put_BaselineOffset(float value) = 0;
    virtual HRESULT get_Size(float* out) = 0;
    virtual HRESULT put_Size(float value) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT put_Name(BSTR value) = 0;
    virtual HRESULT get_NameFarEast(BSTR* out) = 0;
    virtual HRESULT get_NameAscii(BSTR* out) = 0;
    virtual HRESULT get_NameOther(BSTR* out) = 0;
    virtual HRESULT get_NameComplexScript(BSTR* out) = 0;
};

struct ParagraphFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Alignment(PpParagraphAlignment* out) = 0;
    virtual HRESULT put_Alignment(PpParagraphAlignment value) = 0;
    virtual HRESULT get_Bullet(BulletFormat** out) = 0;
    virtual HRESULT get_LineRuleBefore(MsoTriState* out) = 0;
    virtual HRESULT get_LineRuleAfter(MsoTriState* out) = 0;
    virtual HRESULT get_LineRuleWithin(MsoTriState* out) = 0;
    virtual HRESULT get_SpaceBefore(float* out) = 0;
    virtual HRESULT get_SpaceAfter(float* out) = 0;
    virtual HRESULT get_SpaceWithin(float* out) = 0;
    virtual HRESULT get_BaseLineAlignment(PpBaselineAlignment* out) = 0;
};

struct BulletFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
    virtual HRESULT get_Character(LONG* out) = 0;
    virtual HRESULT put_Character(LONG value) = 0;
    virtual HRESULT get_RelativeSize(float* out) = 0;
    virtual HRESULT get_UseTextColor(MsoTriState* out) = 0;
    virtual HRESULT get_UseTextFont(MsoTriState* out) = 0;
    virtual HRESULT get_Font(Font** out) = 0;
    virtual HRESULT get_Type(PpBulletType* out) = 0;
    virtual HRESULT put_Type(PpBulletType value) = 0;
    virtual HRESULT get_Style(PpNumberedBulletStyle* out) = 0;
    virtual HRESULT get_StartValue(LONG* out) = 0;
    virtual HRESULT get_Number(LONG* out) = 0;
};

struct Ruler : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Levels(RulerLevels** out) = 0;
};

struct RulerLevels : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Item(LONG Index, RulerLevel** out) = 0;  // 1 to 5
};

struct RulerLevel : IUnknown {
    virtual HRESULT get_FirstMargin(float* out) = 0;
    virtual HRESULT put_FirstMargin(float value) = 0;
    virtual HRESULT get_LeftMargin(float* out) = 0;
    virtual HRESULT put_LeftMargin(float value) = 0;
};

struct FillFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_BackColor(ColorFormat** out) = 0;
    virtual HRESULT get_ForeColor(ColorFormat** out) = 0;
    virtual HRESULT get_Transparency(float* out) = 0;
    virtual HRESULT put_Transparency(float value) = 0;
    virtual HRESULT get_Type(MsoFillType* out) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
};

struct LineFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_BackColor(ColorFormat** out) = 0;
    virtual HRESULT get_DashStyle(MsoLineDashStyle* out) = 0;
    virtual HRESULT get_ForeColor(ColorFormat** out) = 0;
    virtual HRESULT get_Transparency(float* out) = 0;
    virtual HRESULT put_Transparency(float value) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
    virtual HRESULT get_Weight(float* out) = 0;
    virtual HRESULT put_Weight(float value) = 0;
};

struct ColorFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_RGB(ULONG* out) = 0;  // 0x00BBGGRR
    virtual HRESULT put_RGB(ULONG value) = 0;
    virtual HRESULT get_SchemeColor(PpColorSchemeIndex* out) = 0;
    virtual HRESULT put_SchemeColor(PpColorSchemeIndex value) = 0;
};

struct PictureFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Brightness(float* out) = 0;  // 0.0 to 1.0, 0.5 unchanged
    virtual HRESULT put_Brightness(float value) = 0;
    virtual HRESULT get_ColorType(MsoPictureColorType* out) = 0;
    virtual HRESULT put_ColorType(MsoPictureColorType value) = 0;
    virtual HRESULT get_Contrast(float* out) = 0;  // 0.0 to 1.0, 0.5 unchanged
    virtual HRESULT put_Contrast(float value) = 0;
    virtual HRESULT get_CropBottom(float* out) = 0;
    virtual HRESULT get_CropLeft(float* out) = 0;
    virtual HRESULT get_CropRight(float* out) = 0;
    virtual HRESULT get_CropTop(float* out) = 0;
};

struct OLEFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Object(IDispatch** out) = 0;  // the embedded object; a control's own interface
    virtual HRESULT get_ProgID(BSTR* out) = 0;
};

struct SoundFormat : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    // Writes the sound's data to FileName; *out is the type of what was written.
    virtual HRESULT Export(BSTR FileName, PpSoundFormatType* out) = 0;
    virtual HRESULT get_Type(PpSoundFormatType* out) = 0;
    virtual HRESULT get_SourceFullName(BSTR* out) = 0;
};

struct Adjustments : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Creator(LONG* out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Item(LONG Index, float* out) = 0;
    virtual HRESULT put_Item(LONG Index, float value) = 0;
};

struct Hyperlinks : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Item(LONG Index, Hyperlink** out) = 0;
};

struct Hyperlink : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;  // the ActionSetting that holds it
    virtual HRESULT get_Type(MsoHyperlinkType* out) = 0;
    virtual HRESULT get_Address(BSTR* out) = 0;
    virtual HRESULT put_Address(BSTR value) = 0;
    virtual HRESULT get_SubAddress(BSTR* out) = 0;
    virtual HRESULT put_SubAddress(BSTR value) = 0;
    virtual HRESULT get_TextToDisplay(BSTR* out) = 0;
    virtual HRESULT put_TextToDisplay(BSTR value) = 0;
};

struct ActionSettings : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Item(PpMouseActivation Index, ActionSetting** out) = 0;
};

struct ActionSetting : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;  // the Shape or TextRange
    virtual HRESULT get_Action(PpActionType* out) = 0;
    virtual HRESULT put_Action(PpActionType value) = 0;
    virtual HRESULT get_AnimateAction(MsoTriState* out) = 0;
    virtual HRESULT put_AnimateAction(MsoTriState value) = 0;
    virtual HRESULT get_SlideShowName(BSTR* out) = 0;
    virtual HRESULT get_Hyperlink(Hyperlink** out) = 0;
};

struct HeadersFooters : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_DateAndTime(HeaderFooter** out) = 0;
    virtual HRESULT get_SlideNumber(HeaderFooter** out) = 0;
    virtual HRESULT get_Header(HeaderFooter** out) = 0;
    virtual HRESULT get_Footer(HeaderFooter** out) = 0;
};

struct HeaderFooter : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Visible(MsoTriState* out) = 0;
    virtual HRESULT put_Visible(MsoTriState value) = 0;
    virtual HRESULT get_Text(BSTR* out) = 0;
    virtual HRESULT put_Text(BSTR value) = 0;
};

struct AnimationSettings : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_DimColor(ColorFormat** out) = 0;
    virtual HRESULT get_EntryEffect(PpEntryEffect* out) = 0;
    virtual HRESULT put_EntryEffect(PpEntryEffect value) = 0;
    virtual HRESULT get_AfterEffect(PpAfterEffect* out) = 0;
    virtual HRESULT put_AfterEffect(PpAfterEffect value) = 0;
    virtual HRESULT get_AnimationOrder(LONG* out) = 0;
    virtual HRESULT put_AnimationOrder(LONG value) = 0;
    virtual HRESULT get_AdvanceMode(PpAdvanceMode* out) = 0;
    virtual HRESULT put_AdvanceMode(PpAdvanceMode value) = 0;
    virtual HRESULT get_AdvanceTime(float* out) = 0;
    virtual HRESULT put_AdvanceTime(float value) = 0;
    virtual HRESULT get_TextLevelEffect(PpTextLevelEffect* out) = 0;
    virtual HRESULT put_TextLevelEffect(PpTextLevelEffect value) = 0;
    virtual HRESULT get_Animate(MsoTriState* out) = 0;
    virtual HRESULT put_Animate(MsoTriState value) = 0;
    virtual HRESULT get_AnimateBackground(MsoTriState* out) = 0;
    virtual HRESULT put_AnimateBackground(MsoTriState value) = 0;
    virtual HRESULT get_AnimateTextInReverse(MsoTriState* out) = 0;
    virtual HRESULT put_AnimateTextInReverse(MsoTriState value) = 0;
};

struct SlideShowTransition : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_AdvanceOnClick(MsoTriState* out) = 0;
    virtual HRESULT put_AdvanceOnClick(MsoTriState value) = 0;
    virtual HRESULT get_AdvanceOnTime(MsoTriState* out) = 0;
    virtual HRESULT put_AdvanceOnTime(MsoTriState value) = 0;
    virtual HRESULT get_AdvanceTime(float* out) = 0;
    virtual HRESULT put_AdvanceTime(float value) = 0;
    virtual HRESULT get_EntryEffect(PpEntryEffect* out) = 0;
    virtual HRESULT put_EntryEffect(PpEntryEffect value) = 0;
    virtual HRESULT get_Hidden(MsoTriState* out) = 0;
    virtual HRESULT put_Hidden(MsoTriState value) = 0;
};

struct ColorScheme : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Colors(PpColorSchemeIndex SchemeColor, RGBColor** out) = 0;  // 1 to 8
};

struct RGBColor : IUnknown {
    virtual HRESULT get_RGB(ULONG* out) = 0;
    virtual HRESULT put_RGB(ULONG value) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
};

struct Tags : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Count(LONG* out) = 0;
    // Names are kept upper case and looked up without regard to case; an unknown name gives "".
    virtual HRESULT Item(BSTR Name, BSTR* out) = 0;
    virtual HRESULT Add(BSTR Name, BSTR Value) = 0;
    virtual HRESULT Delete(BSTR Name) = 0;
    virtual HRESULT Name(LONG Index, BSTR* out) = 0;
    virtual HRESULT Value(LONG Index, BSTR* out) = 0;
};

struct TimeLine : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_MainSequence(Sequence** out) = 0;
};

struct Sequence : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Item(LONG Index, Effect** out) = 0;
};

struct Effect : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Shape(Shape** out) = 0;
    virtual HRESULT get_Index(LONG* out) = 0;  // from 1
    virtual HRESULT get_Timing(Timing** out) = 0;
    virtual HRESULT get_EffectType(MsoAnimEffect* out) = 0;
    virtual HRESULT get_EffectParameters(EffectParameters** out) = 0;
    virtual HRESULT get_Paragraph(LONG* out) = 0;  // from 1; 0 for the whole shape
    virtual HRESULT get_Exit(MsoTriState* out) = 0;
    virtual HRESULT get_EffectInformation(EffectInformation** out) = 0;
};

struct Timing : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Duration(float* out) = 0;
    virtual HRESULT put_Duration(float value) = 0;
    virtual HRESULT get_TriggerType(MsoAnimTriggerType* out) = 0;
    virtual HRESULT put_TriggerType(MsoAnimTriggerType value) = 0;
    virtual HRESULT get_TriggerDelayTime(float* out) = 0;
    virtual HRESULT put_TriggerDelayTime(float value) = 0;
};

struct EffectParameters : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Direction(MsoAnimDirection* out) = 0;
};

struct EffectInformation : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_AfterEffect(LONG* out) = 0;
    virtual HRESULT get_AnimateBackground(MsoTriState* out) = 0;
    virtual HRESULT get_AnimateTextInReverse(MsoTriState* out) = 0;
    virtual HRESULT get_BuildByLevelEffect(MsoAnimateByLevel* out) = 0;
};

struct DocumentWindows : IUnknown {
    virtual HRESULT get_Count(LONG* out) = 0;
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Item(LONG Index, DocumentWindow** out) = 0;
};

struct DocumentWindow : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Selection(Selection** out) = 0;
    virtual HRESULT get_View(View** out) = 0;
    virtual HRESULT get_Presentation(_Presentation** out) = 0;
};

struct View : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Type(PpViewType* out) = 0;
    virtual HRESULT get_Slide(IDispatch** out) = 0;  // the shown slide
    virtual HRESULT put_Slide(IDispatch* value) = 0;
};

struct Selection : IUnknown {
    virtual HRESULT get_Application(_Application** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT Unselect() = 0;
    virtual HRESULT get_Type(PpSelectionType* out) = 0;
    virtual HRESULT get_SlideRange(SlideRange** out) = 0;
    virtual HRESULT get_ShapeRange(ShapeRange** out) = 0;
};

// ---- Interface ids ----------------------------------------------------------------------------
// The ones the application publishes and the system queries for.
DEFINE_GUID(IID__Slide, 0x9149346A, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID_SlideRange, 0x9149346B, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID__Presentation, 0x9149349D, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID_Shape, 0x91493479, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID_TextFrame, 0x91493484, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID_ActionSetting, 0x9149348D, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
DEFINE_GUID(IID_TextRange, 0x9149348F, 0x5A91, 0x11CF, 0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B);
// Our own, for the interfaces the system only receives as results.
inline constexpr IID IID__Application = com::GuidFromLiteral("373EC709-55E2-4F84-9D78-C31D4EA4F8BC");
inline constexpr IID IID_Slides = com::GuidFromLiteral("1B8970A6-973E-4267-95C0-CA205E7CC663");
inline constexpr IID IID__Master = com::GuidFromLiteral("63F708F1-4714-4123-833B-4420D3B57C82");
inline constexpr IID IID_Shapes = com::GuidFromLiteral("3DEE4716-C512-4757-A132-ECCD520D3F56");
inline constexpr IID IID_ShapeRange = com::GuidFromLiteral("DB45BA73-DB2F-4F01-AE10-2BD3561729B4");
inline constexpr IID IID_Font = com::GuidFromLiteral("92ABB011-2D2C-4116-974B-AA2F06E92391");
inline constexpr IID IID_ParagraphFormat = com::GuidFromLiteral("B484C523-1A51-456E-873C-DC85A2DB0894");
inline constexpr IID IID_BulletFormat = com::GuidFromLiteral("1762E687-37CE-4E65-826F-4CDD25663278");
inline constexpr IID IID_Ruler = com::GuidFromLiteral("17B230EB-19A6-46F2-8924-3257595A7846");
inline constexpr IID IID_RulerLevels = com::GuidFromLiteral("40A123C4-17F4-43B3-A751-C1B0E2F63617");
inline constexpr IID IID_RulerLevel = com::GuidFromLiteral("190E04A3-2D28-40E2-A7A6-BE633CD9FE6C");
inline constexpr IID IID_FillFormat = com::GuidFromLiteral("D7A9AD61-8CB2-4CD1-9A16-A89C27CBAE13");
inline constexpr IID IID_LineFormat = com::GuidFromLiteral("E507DDDF-FAC7-4C34-A2AE-24A46B74F93A");
inline constexpr IID IID_ColorFormat = com::GuidFromLiteral("D341C750-B036-4BBF-91AD-F8BFCF003782");
inline constexpr IID IID_PictureFormat = com::GuidFromLiteral("B358BF49-E04E-41FC-82A3-E7AB88B294CA");
inline constexpr IID IID_OLEFormat = com::GuidFromLiteral("53D604C7-99F4-4363-8DDB-E5E1FDFD09EC");
inline constexpr IID IID_SoundFormat = com::GuidFromLiteral("BBD52D41-E9CE-4C85-A397-0BA5516A5EEA");
inline constexpr IID IID_Adjustments = com::GuidFromLiteral("A1D53243-84E2-4F37-9321-FF7AF613F57E");
inline constexpr IID IID_Hyperlinks = com::GuidFromLiteral("137DDCE1-5A90-4EC8-8A31-254C38610093");
inline constexpr IID IID_Hyperlink = com::GuidFromLiteral("E39832BC-7432-42F2-B806-39CD256F0C06");
inline constexpr IID IID_ActionSettings = com::GuidFromLiteral("E7A8A832-83FE-41D0-BB3E-CEDC52E63160");
inline constexpr IID IID_HeadersFooters = com::GuidFromLiteral("4BA4D012-DCBB-4374-A221-A1B87C698E91");
inline constexpr IID IID_HeaderFooter = com::GuidFromLiteral("E7075D23-A814-42C3-AE2A-C2413E4996DA");
inline constexpr IID IID_AnimationSettings = com::GuidFromLiteral("E3779ADE-8124-4E69-98E9-5CAEC9B022F3");
inline constexpr IID IID_SlideShowTransition = com::GuidFromLiteral("6AD81DDF-63CE-4BD8-85DE-2BE5086A4352");
inline constexpr IID IID_ColorScheme = com::GuidFromLiteral("1DA8B6B1-8D97-4954-B840-1FBDC5FF0606");
inline constexpr IID IID_RGBColor = com::GuidFromLiteral("308AB31F-FA05-4CD1-9B1F-D1C9BBFA0494");
inline constexpr IID IID_Tags = com::GuidFromLiteral("ADC3A47F-A554-4762-82D4-B6505BC5620A");
inline constexpr IID IID_TimeLine = com::GuidFromLiteral("DBFB565A-405F-4537-B62B-AA2B998F5AAD");
inline constexpr IID IID_Sequence = com::GuidFromLiteral("D503556D-7D4C-4729-BBC4-EE7912759726");
inline constexpr IID IID_Effect = com::GuidFromLiteral("5164BEC0-A3C7-400D-9B8C-050563AB19B5");
inline constexpr IID IID_Timing = com::GuidFromLiteral("88D88E45-DA85-4333-8DBF-1EEF50BBB7EE");
inline constexpr IID IID_EffectParameters = com::GuidFromLiteral("36D10449-90D1-49C0-AB6E-29269CF3EAAA");
inline constexpr IID IID_EffectInformation = com::GuidFromLiteral("CACA63AC-164A-4B13-8EA5-8549109CF8A2");
inline constexpr IID IID_DocumentWindows = com::GuidFromLiteral("ABB48781-E610-44A7-915F-13FF7FF39692");
inline constexpr IID IID_DocumentWindow = com::GuidFromLiteral("50F6F306-2CA6-445D-AAF9-76D95A361B27");
inline constexpr IID IID_View = com::GuidFromLiteral("1254FFC2-09D1-4450-A10E-2685CE3460CE");
inline constexpr IID IID_Selection = com::GuidFromLiteral("8472DEB5-9944-4D1E-871A-61CF558904ED");

BC_DECLARE_INTERFACE_IID(_Application, IID__Application)
BC_DECLARE_INTERFACE_IID(_Presentation, IID__Presentation)
BC_DECLARE_INTERFACE_IID(Slides, IID_Slides)
BC_DECLARE_INTERFACE_IID(_Slide, IID__Slide)
BC_DECLARE_INTERFACE_IID(SlideRange, IID_SlideRange)
BC_DECLARE_INTERFACE_IID(_Master, IID__Master)
BC_DECLARE_INTERFACE_IID(Shapes, IID_Shapes)
BC_DECLARE_INTERFACE_IID(Shape, IID_Shape)
BC_DECLARE_INTERFACE_IID(ShapeRange, IID_ShapeRange)
BC_DECLARE_INTERFACE_IID(TextFrame, IID_TextFrame)
BC_DECLARE_INTERFACE_IID(TextRange, IID_TextRange)
BC_DECLARE_INTERFACE_IID(Font, IID_Font)
BC_DECLARE_INTERFACE_IID(ParagraphFormat, IID_ParagraphFormat)
BC_DECLARE_INTERFACE_IID(BulletFormat, IID_BulletFormat)
BC_DECLARE_INTERFACE_IID(Ruler, IID_Ruler)
BC_DECLARE_INTERFACE_IID(RulerLevels, IID_RulerLevels)
BC_DECLARE_INTERFACE_IID(RulerLevel, IID_RulerLevel)
BC_DECLARE_INTERFACE_IID(FillFormat, IID_FillFormat)
BC_DECLARE_INTERFACE_IID(LineFormat, IID_LineFormat)
BC_DECLARE_INTERFACE_IID(ColorFormat, IID_ColorFormat)
BC_DECLARE_INTERFACE_IID(PictureFormat, IID_PictureFormat)
BC_DECLARE_INTERFACE_IID(OLEFormat, IID_OLEFormat)
BC_DECLARE_INTERFACE_IID(SoundFormat, IID_SoundFormat)
BC_DECLARE_INTERFACE_IID(Adjustments, IID_Adjustments)
BC_DECLARE_INTERFACE_IID(Hyperlinks, IID_Hyperlinks)
BC_DECLARE_INTERFACE_IID(Hyperlink, IID_Hyperlink)
BC_DECLARE_INTERFACE_IID(ActionSettings, IID_ActionSettings)
BC_DECLARE_INTERFACE_IID(ActionSetting, IID_ActionSetting)
BC_DECLARE_INTERFACE_IID(HeadersFooters, IID_HeadersFooters)
BC_DECLARE_INTERFACE_IID(HeaderFooter, IID_HeaderFooter)
BC_DECLARE_INTERFACE_IID(AnimationSettings, IID_AnimationSettings)
BC_DECLARE_INTERFACE_IID(SlideShowTransition, IID_SlideShowTransition)
BC_DECLARE_INTERFACE_IID(ColorScheme, IID_ColorScheme)
BC_DECLARE_INTERFACE_IID(RGBColor, IID_RGBColor)
BC_DECLARE_INTERFACE_IID(Tags, IID_Tags)
BC_DECLARE_INTERFACE_IID(TimeLine, IID_TimeLine)
BC_DECLARE_INTERFACE_IID(Sequence, IID_Sequence)
BC_DECLARE_INTERFACE_IID(Effect, IID_Effect)
BC_DECLARE_INTERFACE_IID(Timing, IID_Timing)
BC_DECLARE_INTERFACE_IID(EffectParameters, IID_EffectParameters)
BC_DECLARE_INTERFACE_IID(EffectInformation, IID_EffectInformation)
BC_DECLARE_INTERFACE_IID(DocumentWindows, IID_DocumentWindows)
BC_DECLARE_INTERFACE_IID(DocumentWindow, IID_DocumentWindow)
BC_DECLARE_INTERFACE_IID(View, IID_View)
BC_DECLARE_INTERFACE_IID(Selection, IID_Selection)

}  // namespace PowerPoint
