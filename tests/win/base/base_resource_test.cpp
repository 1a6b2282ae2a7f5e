// The compiled definition travels in the executable and loads back from its resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Filer.h"
#include "skin/KLClasses.h"

using namespace orv;

namespace {

std::string Resource(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));
  if (!info) return {};
  HGLOBAL data = LoadResource(nullptr, info);
  const char* bytes = static_cast<const char*>(LockResource(data));
  return std::string(bytes, SizeofResource(nullptr, info));
}

TEST(FormResource, DefinitionNamedAfterItsRootClassLoadsIntoStoredStreams) {
  const std::string def = Resource("TCOMPONENT");
  ASSERT_FALSE(def.empty());
  TMemoryStream in(def);
  RegisterClass(TKLStoredStream::StaticClassInfo());
  TComponent root(nullptr);
  ReadRootComponent(in, &root);
  UnRegisterClass(TKLStoredStream::StaticClassInfo());
  auto* lang = dynamic_cast<TKLStoredStream*>(root.FindComponent("lgStream"));
  ASSERT_NE(lang, nullptr);
  EXPECT_EQ(lang->BinStream()->ToString(), Resource("EXPECTED_LNG"));
  EXPECT_FALSE(Resource("EXPECTED_LNG").empty());
}

}  // namespace
