#include "algoWrapper.h"

#include "log_wrapper.h"

namespace ZeSdk {

algoWrapper::algoWrapper() : algoWrapper(&algoCommon::GetInstance()) {}

algoWrapper::algoWrapper(algoCommon* impl) : impl_(impl) {}

algoWrapper::~algoWrapper() {
    impl_->clear();
    ZE_LOG_INFO("~algoWrapper success");
}

Status algoWrapper::SetFrameProfile(const FrameProfile* profile) {
    if (profile == nullptr) return STATUS_INVALID_ARGUMENT;
    frameCfg_ = *profile;
    return STATUS_OK;
}

Status algoWrapper::setWorkMode(const WorkModeConfig& mode) {
    ZE_LOG_INFO("ZE SDK Version: {}", kZeSdkVersion);
    modeCfg_ = mode;
    return STATUS_OK;
}

Status algoWrapper::setCaliData(const unsigned char* data, int size) { return impl_->setCaliData(data, size); }

Status algoWrapper::configAlg(const AlgoParamsCfgByUser* userCfg) {
    return impl_->configAlg(userCfg, modeCfg_, frameCfg_);
}

Status algoWrapper::startAlg() {
    ZE_LOG_INFO("open thread pool");
    return impl_->startAlg();
}

Status algoWrapper::processFrame(const char* raw) { return impl_->processFrame(raw); }

Status algoWrapper::GetAlgoData(FrameDataType type, OutputImage** image) { return impl_->GetAlgoData(type, image); }

Status algoWrapper::ReadyNextAlgo() { return impl_->ReadyNextAlgo(); }

}  // namespace ZeSdk
