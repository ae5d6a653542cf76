#pragma once

#include <QString>

namespace ado {

// ADO DataTypeEnum numbers; callers compare field types against these.
enum DataType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adBigInt = 20,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};
using DataTypeEnum = DataType;

// ADO ParameterDirectionEnum.
enum ParameterDirection : int {
    adParamUnknown = 0,
    adParamInput = 1,
    adParamOutput = 2,
    adParamInputOutput = 3,
    adParamReturnValue = 4,
};

// The kind of value a command's marker is translated for: the marker then goes to the engine
// typed, and without the conversion its column would need for a value of another kind.
// Unset: unknown (Nulls only), translated for any value.
enum class BoundKind : unsigned char { Unset, Int, Double, Text, Date, Bool, Bytes };

enum ObjectState : int { adStateClosed = 0, adStateOpen = 1 };
enum CursorType : int { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType : int { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum CursorLocation : int { adUseServer = 2, adUseClient = 3 };
enum IsolationLevel : int { adXactReadUncommitted = 256, adXactReadCommitted = 4096 };

// Run-time error numbers the system's handlers test (VB Err.Number).
namespace errnum {
constexpr long GenericFailure = -2147467259;     // &H80004005: also a lost connection
constexpr long CommandFailed = -2147217900;      // &H80040E14: a statement the server refused
constexpr long IntegrityViolation = -2147217873; // &H80040E2F: constraint, key, null
constexpr long Timeout = -2147217871;            // &H80040E31
constexpr long ObjectClosed = 3704;
constexpr long ObjectOpen = 3705;
constexpr long ConnectionClosed = 3709;
constexpr long BofOrEof = 3021;
constexpr long ItemNotFound = 3265;
constexpr long NoCurrentRecord = 3021;
constexpr long NotSupported = 3251;            // adErrFeatureNotAvailable
constexpr long ParameterMissing = -2147217904; // &H80040E10: no value for a parameter
} // namespace errnum

// SQL Server native error numbers reported on every backend.
namespace native {
constexpr long DuplicateKey = 2627;
constexpr long ConstraintConflict = 547;
constexpr long NullNotAllowed = 515;
constexpr long StringTruncated = 8152;
constexpr long InvalidObject = 208;
constexpr long AlreadyExists = 2714;
constexpr long SyntaxError = 102;
constexpr long CommunicationLink = 10054; // lost connection (TCP provider)
} // namespace native

} // namespace ado
