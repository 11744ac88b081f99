#include "platform/classes/PersHolder.h"

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

TPersHolder::TPersHolder(TComponent* AOwner) : TComponent(AOwner) { SetName(kPersHolderName); }

static void DescribeTPersHolder(TClassInfo& Info) {
  TClassPublisher<TPersHolder> p(Info);
  p.Property<&TPersHolder::P, &TPersHolder::P>("P", ClassTypeInfo(TPersistent::StaticClass()));
}
KESTOVA_CLASS_INFO_DESCRIBED(TPersHolder, TComponent, "Classes", MakeComponent<TPersHolder>, DescribeTPersHolder)
