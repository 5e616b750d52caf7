#pragma once

// Every connector between the main store and the views.
#include "core/connectors/MenuBarConnectors.hpp"
#include "core/connectors/NotificationConnectors.hpp"
#include "core/connectors/OnboardingConnectors.hpp"
#include "core/connectors/ScrollEntryConnectors.hpp"
#include "core/connectors/SettingsConnectors.hpp"
#include "core/connectors/TimeEntryConnectors.hpp"
