<%@ Language=VBScript %>
<html>
<head><title>Orders</title></head>
<!-- list of open orders -->
<body bgcolor="#FFFFFF">
<%
  ' fetch the orders
  Dim rs, total
  Set rs = Server.CreateObject("ADODB.Recordset")
  If rs.EOF Then Response.Write "none" End If
%>
<table border="1" width="<%= total %>">
<script language="VBScript" runat="server">
  Function Twice(x) : Twice = x * 2 : End Function
</script>
	<p>café 日本</p>
</body>
</html>