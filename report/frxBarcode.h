// One-dimensional barcodes: the encoder and painter (TfrxBarcode), which
// turns a text into bars and spaces of one to four width classes with the
// symbology's check characters and paints them at 0, 90, 180 or 270 degrees
// with the human-readable text, and the report object that shows one.
//
// An encoded code is a string of elements, one per bar or space, painted
// left to right: "0".."3" a space of width class 1..4, "5".."8" a full bar
// of class 1..4, "A".."D" a bar of class 1..4 two fifths high.
//
// Encoding never changes Text: check digits and padding go into the data
// actually encoded (EncodedText), which the painter shows under the bars.
// Data a symbology cannot carry is refused with an error rather than
// dropped or changed, so what a scanner reads is always what the text says.
#pragma once

#include "frxClass.h"

#include <string>

class TCanvas;

enum TfrxBarcodeType {
    bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39, bcCode39Extended,
    bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeMSI, bcCodePostNet,
    bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1, bcCodeUPC_Supp2,
    bcCodeUPC_Supp5, bcCodeEAN128A, bcCodeEAN128B, bcCodeEAN128C
};
QZ_ENUM_TYPEINFO(TfrxBarcodeType, "bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix",
                 "bcCode39", "bcCode39Extended", "bcCode128A", "bcCode128B", "bcCode128C", "bcCode93",
                 "bcCode93Extended", "bcCodeMSI", "bcCodePostNet", "bcCodeCodabar", "bcCodeEAN8",
                 "bcCodeEAN13", "bcCodeUPC_A", "bcCodeUPC_E0", "bcCodeUPC_E1", "bcCodeUPC_Supp2",
                 "bcCodeUPC_Supp5", "bcCodeEAN128A", "bcCodeEAN128B", "bcCodeEAN128C")

enum TfrxCheckSumMethod { csmNone, csmModulo10 };
QZ_ENUM_TYPEINFO(TfrxCheckSumMethod, "csmNone", "csmModulo10")

struct TBCdata {
    const char* Name;
    bool Num;
};

class TfrxBarcode : public TComponent {
    QZ_CLASS(TfrxBarcode, TComponent)
public:
    explicit TfrxBarcode(TComponent* owner = nullptr);
    void Assign(TPersistent* source) override;

    std::string Text;
    int Modul = 1;
    double Ratio = 2.0;
    TfrxBarcodeType Typ = bcCodeEAN13;
    bool Checksum = false;
    TfrxCheckSumMethod CheckSumMethod = csmModulo10;
    double Angle = 0;
    int Height = 0;
    TColor Color = clWhite;
    TColor ColorBar = clBlack;
    int Left = 0, Top = 0;

    // The element string of Text for Typ; raises for data the type cannot carry.
    std::string Encode();
    // The digits or characters the code carries (Text with padding and check
    // digits as encoded): what is printed under the bars.
    const std::string& EncodedText() const { return FEncodedText; }
    // The total width of the encoded code in pixels.
    int Width();
    // Paints the code scaled into r, with the human-readable text when showText.
    void DrawBarcode(TCanvas* canvas, const TRect& r, bool showText);

    int ClassWidth(int cls) const { return FW[cls]; }

private:
    void MakeClassWidths();
    int ElementWidth(char e) const;
    std::string FEncodedText;
    int FW[4] = {1, 2, 3, 4};
};

class TfrxBarCodeView : public TfrxView {
    QZ_CLASS(TfrxBarCodeView, TfrxView)
public:
    explicit TfrxBarCodeView(TComponent* owner = nullptr);
    ~TfrxBarCodeView() override;

    TfrxBarcodeType BarType = bcCode39;
    bool CalcCheckSum = false;
    std::string Expression;
    TfrxHAlign HAlign = frxClass::haLeft;
    int Rotation = 0;
    bool ShowText = true;
    std::string Text = "12345678";
    double Zoom = 1.0;

    TfrxBarcode* Barcode() const { return FBarcode.get(); }
    std::string GetDescription() const override;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    void GetData() override;
    std::string Diff(TfrxComponent* templ) override;

private:
    std::unique_ptr<TfrxBarcode> FBarcode;
};

// Placed by an application to make the barcode object available.
class TfrxBarCodeObject : public TComponent {
    QZ_CLASS(TfrxBarCodeObject, TComponent)
public:
    explicit TfrxBarCodeObject(TComponent* owner = nullptr);
};

namespace frxBarcode {
// The type table: display name and numeric-only flag of each type.
const TBCdata& BarcodeData(TfrxBarcodeType t);
// The modulo-10 check digit (weights 3, 1, 3 ... from the rightmost digit).
char CheckSumModulo10(const std::string& digits);
// Registers the view for streaming, in the object palette and with the
// global script, once.
void Initialize();
}
