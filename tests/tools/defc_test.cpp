// What defc wrote loads back through the reader into stored streams.
#include <gtest/gtest.h>

#include <memory>

#include "base/Filer.h"
#include "skin/KLClasses.h"
#include "test_files.h"

using namespace orv;

namespace {

TEST(Defc, CompiledDefinitionLoadsBackIntoStoredStreams) {
  RegisterClass(TKLStoredStream::StaticClassInfo());
  const std::string bytes = testsupport::ReadFile(DEFC_OUTPUT);
  ASSERT_FALSE(bytes.empty());
  TMemoryStream in(bytes);
  TComponent root(nullptr);
  ReadRootComponent(in, &root);
  UnRegisterClass(TKLStoredStream::StaticClassInfo());

  auto* lang = dynamic_cast<TKLStoredStream*>(root.FindComponent("lgStream"));
  auto* plain = dynamic_cast<TKLStoredStream*>(root.FindComponent("plainStream"));
  ASSERT_TRUE(lang && plain);
  EXPECT_TRUE(lang->Compressed());
  EXPECT_EQ(lang->BinStream()->ToString(), testsupport::ReadFile(DEFC_DATA_DIR "/stored/english.lng"));
  EXPECT_EQ(lang->DesignInfo(), (24 << 16) | 8);
  EXPECT_EQ(plain->BinStream()->ToString(), testsupport::ReadFile(DEFC_DATA_DIR "/stored/plain.bin"));
  // The language text went in compressed, the plain bytes as they are.
  EXPECT_NE(bytes.find("\x05"
                       "CData"),
            std::string::npos);
  EXPECT_NE(bytes.find("\x78\x9c"), std::string::npos);
  EXPECT_NE(bytes.find(testsupport::ReadFile(DEFC_DATA_DIR "/stored/plain.bin")), std::string::npos);
}

TEST(Defc, WritesTheResourceLineAndTheFilesItRead) {
  EXPECT_EQ(testsupport::ReadFile(DEFC_OUTPUT ".rc"), std::string("TCOMPONENT RCDATA \"") + DEFC_OUTPUT + "\"\n");
  const std::string deps = testsupport::ReadFile(DEFC_OUTPUT ".d");
  EXPECT_NE(deps.find("stored_test.dfm"), std::string::npos);
  EXPECT_NE(deps.find("stored/english.lng"), std::string::npos);
  EXPECT_NE(deps.find("stored/plain.bin"), std::string::npos);
}

}  // namespace
