#pragma once
// Registers the staff-account, account-type, login-log and clean-up windows by class name.
void RegisterAdminForms();
