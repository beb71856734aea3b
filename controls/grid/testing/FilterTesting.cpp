#include "FilterTesting.h"

#include "cxEdit.h"

QZ_CLASS_IMPL(TcxFilterTestCriteria, TcxFilterCriteria)
QZ_CLASS_IMPL(TcxFilterTestLink, TComponent)

TcxFilterTestLink::TcxFilterTestLink(TComponent* AOwner)
    : TComponent(AOwner), FFilter(std::make_unique<TcxFilterTestCriteria>())
{
}

TcxFilterTestLink::~TcxFilterTestLink() = default;

void TcxFilterTestLink::AddItem(const std::string& ACaption, int AID, TClass APropertiesClass,
                                TcxValueTypeClass AValueType)
{
    std::unique_ptr<TcxCustomEditProperties> p;
    if (APropertiesClass) p.reset(static_cast<TcxCustomEditProperties*>(APropertiesClass->Create(nullptr)));
    FItems.push_back(TItem{ACaption, AID, std::move(p), AValueType});
}
