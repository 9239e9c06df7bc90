#include <gtest/gtest.h>

#include <string>

#include "app/settings/ProductInfo.h"
#include "tests/unit/settings/FakeOptionBackend.h"

namespace pelmora {
namespace {

using test::FakeOptionBackend;

class ProductInfoTest : public ::testing::Test {
 protected:
  void TearDown() override { SelectProduct(kPelmoraProductId); }
  FakeOptionBackend backend_;
};

struct ProductRowCase {
  int32_t id;
  const char* version;
  const char* name;
  const char* keyName;
  const char* number;
};

TEST_F(ProductInfoTest, SelectProduct_FillsEveryRow) {
  const ProductRowCase rows[] = {{21001, "6.1", "Dorvane", "HVNDORVANE61", "228"},
                                 {21003, "3.0", "Quillane", "HVNQUILLANE30", "3"},
                                 {21004, "3.2", "Pelmora", "HVNPELMORA3", "95"},
                                 {21052, "5.1", "Ostrivel", "HVNOSTRIVEL51", "226"}};
  for (const ProductRowCase& row : rows) {
    EXPECT_EQ(SelectProduct(row.id), row.id);
    const ProductInfo& p = GetProductInfo();
    EXPECT_EQ(p.id, row.id);
    EXPECT_EQ(p.version, row.version);
    EXPECT_EQ(p.productName, row.name);
    EXPECT_EQ(p.productKeyName, row.keyName);
    EXPECT_EQ(p.productNumber, row.number);
    EXPECT_EQ(p.companyName, "Halvorn");
    EXPECT_EQ(p.companyWebSite, kCompanyHomePage);
    EXPECT_EQ(GetProductName(), row.name);
    EXPECT_EQ(GetCompanyWebSite(), kCompanyHomePage);
    for (const std::string* page : {&p.productPage, &p.supportPage, &p.discussionPage}) {
      EXPECT_EQ(page->rfind("https://", 0), 0u) << *page;
      EXPECT_NE(page->find(".example/"), std::string::npos) << *page;
    }
  }
}

TEST_F(ProductInfoTest, PelmoraSupportPageIsTheCompanySupportIndex) {
  SelectProduct(21004);
  const ProductInfo& p = GetProductInfo();
  EXPECT_NE(p.productPage, p.supportPage);
  EXPECT_NE(p.productPage, p.discussionPage);
  EXPECT_EQ(p.supportPage.find("pelmora"), std::string::npos);
  EXPECT_NE(p.productPage.find("pelmora"), std::string::npos);
}

TEST_F(ProductInfoTest, UnknownIdEmptiesEveryField) {
  SelectProduct(21004);
  EXPECT_EQ(SelectProduct(12345), -1);
  const ProductInfo& p = GetProductInfo();
  EXPECT_EQ(p.id, -1);
  for (const std::string* field :
       {&p.version, &p.productName, &p.productKeyName, &p.companyName, &p.productNumber,
        &p.companyWebSite, &p.productPage, &p.supportPage, &p.discussionPage}) {
    EXPECT_TRUE(field->empty()) << *field;
  }
  EXPECT_EQ(GetProductName(), "");
  EXPECT_EQ(GetCompanyWebSite(), "");
}

TEST_F(ProductInfoTest, WebPages_StoredValueReplacesTheBuiltInPage) {
  SelectProduct(21004);
  OptionStore store(backend_, GetProductName());
  const ProductInfo& p = GetProductInfo();
  EXPECT_EQ(GetLatestVersionPage(store), p.productPage);
  EXPECT_EQ(GetOnlineSupportPage(store), p.supportPage);
  EXPECT_EQ(GetOnlineDiscussionPage(store), p.discussionPage);
  backend_.values[{"Pelmora", "latest_version"}] = "https://mirror.example/new";
  backend_.values[{"Pelmora", "online_support"}] = "s";
  backend_.values[{"Pelmora", "online_discussion"}] = "d";
  EXPECT_EQ(GetLatestVersionPage(store), "https://mirror.example/new");
  EXPECT_EQ(GetOnlineSupportPage(store), "s");
  EXPECT_EQ(GetOnlineDiscussionPage(store), "d");
  backend_.values.erase({"Pelmora", "latest_version"});
  EXPECT_EQ(GetLatestVersionPage(store), p.productPage);
  ASSERT_FALSE(backend_.reads.empty());
  EXPECT_EQ(backend_.reads.back().second, "latest_version");
}

TEST_F(ProductInfoTest, WebPages_WithoutProductFallBackToTheCompanyHomePage) {
  SelectProduct(12345);
  OptionStore store(backend_, GetProductName());
  EXPECT_EQ(GetLatestVersionPage(store), kCompanyHomePage);
  EXPECT_EQ(GetOnlineSupportPage(store), kCompanyHomePage);
  EXPECT_EQ(GetOnlineDiscussionPage(store), kCompanyHomePage);
  // Options are then looked up directly under the company root (empty app name).
  backend_.values[{"", "online_support"}] = "https://help.example/";
  EXPECT_EQ(GetOnlineSupportPage(store), "https://help.example/");
  EXPECT_EQ(backend_.reads.back().first, "");
  backend_.values[{"", "online_support"}] = "";
  EXPECT_EQ(GetOnlineSupportPage(store), kCompanyHomePage);
}

}  // namespace
}  // namespace pelmora
